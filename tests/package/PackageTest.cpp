// The installer package as a Windows user meets it: installed with msiexec,
// the program started from where it went, then removed again; the checks read
// the real files, shortcut and registry entries of the test's prefix.
#include "support/E2E.h"

#include "repair/RepairJob.h"
#include "version.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kMsiexecTimeout = 120000; // ms

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring InstallFolder() {
    return KnownFolder(FOLDERID_ProgramFiles) + L"\\Dravix Video Repair\\";
}

std::wstring PackagePath() {
    return support::BuildFolder() + DRAVIX_MSI_NAME;
}

// The same program packaged as the next version.
std::wstring NextPackagePath() {
    return support::ProgramFolder() + L"next.msi";
}

// The Start-menu link: Windows puts it in the common Programs folder for a
// per-machine package, Wine's installer in the user's.
std::wstring FindShortcut() {
    for (REFKNOWNFOLDERID folder : {FOLDERID_CommonPrograms, FOLDERID_Programs}) {
        const std::wstring link = KnownFolder(folder) + L"\\Dravix Video Repair.lnk";
        if (support::Exists(link))
            return link;
    }
    return {};
}

// The link's target and icon file.
std::pair<std::wstring, std::wstring> ReadLink(const std::wstring& path) {
    wchar_t target[MAX_PATH] = {}, icon[MAX_PATH] = {};
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        int index = 0;
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetIconLocation(icon, MAX_PATH, &index);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return {target, icon};
}

bool IsIconFile(const std::wstring& path) {
    return !path.empty() && ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0) > 0;
}

// Product codes of the installed versions of the program, whatever their version.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> codes;
    wchar_t code[39];
    while (MsiEnumRelatedProductsW(DRAVIX_UPGRADE_CODE, 0, static_cast<DWORD>(codes.size()),
                                   code) == ERROR_SUCCESS)
        codes.push_back(code);
    return codes;
}

// The product's key in the list of installed programs.
std::wstring UninstallKey(const std::wstring& productCode) {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
}

std::wstring ProductIcon(const std::wstring& productCode) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    MsiGetProductInfoW(productCode.c_str(), INSTALLPROPERTY_PRODUCTICON, path, &length);
    return path;
}

// The size shown in the list, in KB: Windows works it out (EstimatedSize);
// Wine's installer only shows what the package states (Size).
int ListedSize(const std::wstring& productCode) {
    DWORD estimated = 0, bytes = sizeof estimated;
    RegGetValueW(HKEY_LOCAL_MACHINE, UninstallKey(productCode).c_str(), L"EstimatedSize",
                 RRF_RT_REG_DWORD, nullptr, &estimated, &bytes);
    if (estimated > 0)
        return static_cast<int>(estimated);
    return _wtoi(support::RegistryString(UninstallKey(productCode), L"Size").c_str());
}

std::wstring MsiexecPath() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\msiexec.exe";
}

// Runs msiexec with `arguments` to its end; its exit code.
DWORD Msiexec(const std::wstring& arguments) {
    e2e::App msiexec(MsiexecPath());
    if (!msiexec.Launch(arguments) || !msiexec.WaitForExit(kMsiexecTimeout))
        return static_cast<DWORD>(-1);
    return msiexec.ExitCode();
}

DWORD Install(const std::wstring& package) {
    return Msiexec(L"/i \"" + package + L"\" /qn");
}

DWORD Uninstall(const std::wstring& package) {
    return Msiexec(L"/x \"" + package + L"\" /qn");
}

// Removes what an earlier, failed run left installed, and what this one
// installed if it stopped half-way.
class Package : public testing::Test {
protected:
    void SetUp() override { RemoveBoth(); }
    void TearDown() override {
        if (!InstalledProducts().empty())
            RemoveBoth();
    }
    static void RemoveBoth() {
        Uninstall(PackagePath());
        Uninstall(NextPackagePath());
    }
};

TEST_F(Package, InstallsStartsAndUninstallsWithoutLeavingAnythingBehind) {
    ASSERT_TRUE(support::Exists(PackagePath())) << "build the package first (make package)";
    ASSERT_EQ(Install(PackagePath()), 0u);

    const std::wstring folder = InstallFolder();
    const std::wstring program = folder + L"Dravix Video Repair.exe";
    for (const wchar_t* name : {L"ZMTE.exe", L"ZMTS.exe", L"ZMTD.exe", L"ZMTP.exe"})
        EXPECT_TRUE(support::Exists(folder + name)) << "not installed: " << folder + name;

    const std::wstring shortcut = FindShortcut();
    ASSERT_FALSE(shortcut.empty()) << "no Start-menu shortcut";
    const auto [target, icon] = ReadLink(shortcut);
    EXPECT_EQ(_wcsicmp(target.c_str(), program.c_str()), 0) << target;
    EXPECT_TRUE(IsIconFile(icon)) << "shortcut icon: " << icon;

    const std::vector<std::wstring> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    const std::wstring key = UninstallKey(products.front());
    EXPECT_EQ(support::RegistryString(key, L"DisplayName"), L"Dravix Video Repair");
    EXPECT_EQ(support::RegistryString(key, L"DisplayVersion"), L"" DRAVIX_VERSION_TEXT);
    EXPECT_EQ(support::RegistryString(key, L"Publisher"), L"Dravix Software");
    EXPECT_GT(ListedSize(products.front()), 1000);
    EXPECT_TRUE(IsIconFile(ProductIcon(products.front())))
        << "product icon: " << ProductIcon(products.front());

    {
        e2e::App app(program);
        ASSERT_TRUE(app.Start());
        EXPECT_TRUE(app.Close());
    }
    // What a repair cut short leaves beside the program, and a file of the
    // user's named alike.
    const std::wstring leftover = folder + support::NewGuidText() + L".mp4";
    ASSERT_TRUE(support::WriteBytes(leftover, "partial copy"));
    ASSERT_TRUE(SetFileAttributesW(leftover.c_str(), kTemporaryFileMark));
    const std::wstring users = folder + support::NewGuidText() + L".txt";
    ASSERT_TRUE(support::WriteBytes(users, "the user's"));

    const bool settings = support::KeyExists(L"Software\\Dravix Video Repair");
    ASSERT_EQ(Uninstall(PackagePath()), 0u);
    EXPECT_FALSE(support::Exists(leftover)) << "the repair's leftover stayed";
    EXPECT_EQ(support::ReadBytes(users), "the user's");
    EXPECT_EQ(support::FilesMatching(folder + L"*").size(), 3u)
        << "the program's folder holds more than ., .. and the user's file";
    DeleteFileW(users.c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(FindShortcut(), L"") << "the shortcut stayed";
    EXPECT_FALSE(support::KeyExists(key)) << "still in the list of installed programs";
    EXPECT_EQ(support::KeyExists(L"Software\\Dravix Video Repair"), settings)
        << "the program's settings are meant to stay";
}

TEST_F(Package, NextVersionReplacesThisOneWhichThenRefusesToGoBack) {
    ASSERT_EQ(Install(PackagePath()), 0u);
    ASSERT_EQ(Install(NextPackagePath()), 0u);
    std::vector<std::wstring> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(support::RegistryString(UninstallKey(products.front()), L"DisplayVersion"),
              DRAVIX_NEXT_VERSION);

    // With its basic interface the installer says why it stops.
    e2e::App older(MsiexecPath());
    ASSERT_TRUE(older.Launch(L"/i \"" + PackagePath() + L"\" /qb"));
    HWND box = older.WaitForMessageBox(30000);
    ASSERT_TRUE(box);
    const std::wstring text = e2e::MessageBoxText(box);
    EXPECT_NE(text.find(L"A newer version of Dravix Video Repair is already installed."),
              std::wstring::npos)
        << text;
    e2e::Press(box, IDOK);
    ASSERT_TRUE(older.WaitForExit(30000));
    EXPECT_NE(older.ExitCode(), 0u);
    EXPECT_EQ(InstalledProducts(), products) << "the older version went over the newer one";

    EXPECT_EQ(Uninstall(NextPackagePath()), 0u);
    EXPECT_FALSE(support::Exists(InstallFolder()));
}

} // namespace
