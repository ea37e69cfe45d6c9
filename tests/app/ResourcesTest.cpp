// The executable's identity and its menu, keys and strings, read back from
// the resources linked into this test program (the program links the same).
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::wstring String(UINT id) {
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

struct Item {
    std::wstring text;
    UINT id;
    bool operator==(const Item&) const = default;
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        items.push_back({text, GetMenuItemID(menu, i)});
    }
    return items;
}

void PrintTo(const Item& item, std::ostream* out) {
    *out << "{" << testing::PrintToString(item.text) << ", " << item.id << "}";
}

TEST(Resources, VersionBlockNamesTheProgramAndVersion19) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 19));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 19));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    wchar_t prefix[64];
    swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language,
             translation->codePage);
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"ProductName", L"Dravix Video Repair"},
        {L"FileDescription", L"Dravix Video Repair"},
        {L"InternalName", L"Dravix Video Repair.exe"},
        {L"OriginalFilename", L"Dravix Video Repair.exe"},
        {L"FileVersion", L"19.0.0.0"},
        {L"ProductVersion", L"19.0.0.0"},
    };
    for (const auto& [name, value] : expected) {
        wchar_t* text = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), (std::wstring(prefix) + name).c_str(),
                                   reinterpret_cast<void**>(&text), &length))
            << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(std::wstring(text), value);
    }
}

TEST(Resources, ManifestAsksForAdministratorAndDpiAwareness) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(found);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(data, SizeofResource(module, found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_EQ(manifest.find("uiAccess=\"true\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

TEST(Resources, MenusCarryTheExactItemTextsAndCommands) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t title[32] = {};
    GetMenuStringW(menu, 0, title, 32, MF_BYPOSITION);
    EXPECT_STREQ(title, L"&File");
    GetMenuStringW(menu, 1, title, 32, MF_BYPOSITION);
    EXPECT_STREQ(title, L"&Help");
    EXPECT_EQ(Items(GetSubMenu(menu, 0)), (std::vector<Item>{{L"&Open...\tCtrl+O", 57601},
                                                             {L"Repair\tCtrl+R", 32772},
                                                             {L"Save\tCtrl+S", 32774},
                                                             {L"E&xit", 57665}}));
    EXPECT_EQ(Items(GetSubMenu(menu, 1)),
              (std::vector<Item>{{L"Help", 32773}, {L"&About Dravix Video Repair...", 57664}}));
    DestroyMenu(menu);

    HMENU popup = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUP_EDIT));
    ASSERT_TRUE(popup);
    EXPECT_EQ(Items(GetSubMenu(popup, 0)), (std::vector<Item>{{L"Cu&t\tCtrl+X", 57635},
                                                              {L"&Copy\tCtrl+C", 57634},
                                                              {L"&Paste\tCtrl+V", 57637}}));
    DestroyMenu(popup);
}

TEST(Resources, AcceleratorsBindNoKeyToRepairHelpOrSave) {
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(table);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));

    using Key = std::tuple<BYTE, WORD, WORD>; // modifiers, key, command
    constexpr BYTE kCtrl = FVIRTKEY | FCONTROL, kShift = FVIRTKEY | FSHIFT, kAlt = FVIRTKEY | FALT;
    std::vector<Key> actual;
    for (const ACCEL& entry : entries)
        actual.emplace_back(entry.fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), entry.key,
                            entry.cmd);
    std::vector<Key> expected = {
        {kCtrl, 'N', 57600},        {kCtrl, 'O', 57601},        {kCtrl, 'S', 57603},
        {kCtrl, 'Z', 57643},        {kAlt, VK_BACK, 57643},     {kCtrl, 'X', 57635},
        {kShift, VK_DELETE, 57635}, {kCtrl, 'C', 57634},        {kCtrl, VK_INSERT, 57634},
        {kCtrl, 'V', 57637},        {kShift, VK_INSERT, 57637}, {FVIRTKEY, VK_F6, 57680},
        {kShift, VK_F6, 57681},
    };
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(actual, expected);
}

TEST(Resources, StringTableHoldsTitlesPromptsAndTheDocumentString) {
    EXPECT_EQ(String(IDR_MAINFRAME),
              L"Dravix_Video_Recovery\n\nDravix_Video_Re\n\n\n"
              L"DravixVideoRecovery.Document\nDravix_Video_Recovery.Document");
    EXPECT_EQ(String(IDS_APP_TITLE), L"Dravix_Video_Recovery");
    EXPECT_EQ(String(IDS_IDLE_MESSAGE), L"Ready");
    EXPECT_EQ(String(IDS_EDIT_MENU), L"Edit");
    EXPECT_EQ(String(ID_FILE_OPEN), L"Open an existing video\nOpen");
    EXPECT_EQ(String(ID_FILE_REPAIR), L"Repair corrupted video\nRepair");
    EXPECT_EQ(String(ID_FILE_SAVE_OUTPUT), L"Save the active document\nSave");
    EXPECT_EQ(String(ID_HELP_HOW_TO_USE), L"");
    EXPECT_NE(String(ID_APP_ABOUT).find(L'\n'), std::wstring::npos);
    EXPECT_NE(String(ID_APP_EXIT).find(L'\n'), std::wstring::npos);
}

} // namespace
