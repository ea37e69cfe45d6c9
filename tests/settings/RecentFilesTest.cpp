#include "support/Testing.h"

#include "app/App.h"
#include "settings/ProfileStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The application's settings, below a throwaway company key.
class AppSettingsTest : public testing::Test {
protected:
    void SetUp() override { m_company = L"Dravix Test " + support::NewGuidText(); }
    void TearDown() override { support::RemoveSoftwareKey(m_company); }

    std::wstring RawString(const wchar_t* entry) {
        return support::RegistryString(L"Software\\" + m_company + L"\\" +
                                           CDravix_Video_RecoveryApp::kAppName + L"\\" +
                                           CRecentFileList::kSection,
                                       entry);
    }

    ProfileStore Store() const {
        ProfileStore store;
        store.registryKey = m_company;
        store.profileName = CDravix_Video_RecoveryApp::kAppName;
        return store;
    }

    std::wstring m_company;
};

TEST_F(AppSettingsTest, ProfileOperationsGoToTheConfiguredRegistryKey) {
    EXPECT_TRUE(Store().WriteProfileInt(L"Settings", L"Width", 840));
    EXPECT_EQ(Store().GetProfileInt(L"Settings", L"Width", 0), 840u);
    EXPECT_TRUE(Store().WriteProfileString(L"Settings", L"Name", L"clip"));
    EXPECT_EQ(Store().GetProfileString(L"Settings", L"Name", nullptr), L"clip");
    const BYTE bytes[] = {1, 2, 3};
    EXPECT_TRUE(Store().WriteProfileBinary(L"Settings", L"Blob", bytes, 3));
    BYTE* data = nullptr;
    UINT count = 0;
    ASSERT_TRUE(Store().GetProfileBinary(L"Settings", L"Blob", &data, &count));
    EXPECT_EQ(std::vector<BYTE>(data, data + count), std::vector<BYTE>(bytes, bytes + 3));
    delete[] data;

    DWORD width = 0, size = sizeof width;
    const std::wstring section =
        L"Software\\" + m_company + L"\\" + CDravix_Video_RecoveryApp::kAppName + L"\\Settings";
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, section.c_str(), L"Width", RRF_RT_REG_DWORD, nullptr,
                           &width, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(width, 840u);
}

TEST_F(AppSettingsTest, EmptyRegistryKeyUsesTheIniFile) {
    const std::wstring ini = support::TempPath(m_company + L".ini");
    ProfileStore store;
    store.registryKey = L"";
    store.profileName = ini;
    EXPECT_TRUE(store.WriteProfileInt(L"Settings", L"Width", 840));
    EXPECT_EQ(GetPrivateProfileIntW(L"Settings", L"Width", 0, ini.c_str()), 840u);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    EXPECT_TRUE(DeleteFileW(ini.c_str()));
}

TEST(RecentFileList, KeepsFourMostRecentFirstWithoutDuplicates) {
    CRecentFileList list;
    list.Add(L"C:\\a.mp4");
    list.Add(L"C:\\b.mp4");
    list.Add(L"");
    EXPECT_EQ(list.Entries(), (std::vector<std::wstring>{L"C:\\b.mp4", L"C:\\a.mp4", L"", L""}));
    list.Add(L"C:\\c.mp4");
    list.Add(L"C:\\d.mp4");
    list.Add(L"C:\\e.mp4");
    EXPECT_EQ(list.Entries(),
              (std::vector<std::wstring>{L"C:\\e.mp4", L"C:\\d.mp4", L"C:\\c.mp4", L"C:\\b.mp4"}));
    list.Add(L"c:\\C.MP4");
    EXPECT_EQ(list.Entries(),
              (std::vector<std::wstring>{L"c:\\C.MP4", L"C:\\e.mp4", L"C:\\d.mp4", L"C:\\b.mp4"}));
}

TEST_F(AppSettingsTest, RecentFilesSaveAndLoadBackAndEmptySlotsAreRemoved) {
    CRecentFileList saved;
    saved.Load(Store());
    EXPECT_EQ(saved.Entries(), std::vector<std::wstring>(CRecentFileList::kMaxEntries));
    saved.Add(L"C:\\first.mp4");
    saved.Add(L"C:\\Videos\\second clip.mov");
    // Left behind meanwhile, as by a run with a longer list.
    ASSERT_TRUE(Store().WriteProfileString(CRecentFileList::kSection, L"File3", L"C:\\old3.mp4"));
    ASSERT_TRUE(Store().WriteProfileString(CRecentFileList::kSection, L"File4", L"C:\\old4.mp4"));

    saved.Save(Store());
    EXPECT_EQ(RawString(L"File1"), L"C:\\Videos\\second clip.mov");
    EXPECT_EQ(RawString(L"File2"), L"C:\\first.mp4");
    EXPECT_EQ(RawString(L"File3"), L"<absent>");
    EXPECT_EQ(RawString(L"File4"), L"<absent>");

    CRecentFileList loaded;
    loaded.Add(L"C:\\stale.mp4");
    loaded.Load(Store());
    EXPECT_EQ(loaded.Entries(), saved.Entries());
}

TEST_F(AppSettingsTest, RecentFilesThatCouldNotBeReadAreNotWipedAtExit) {
    ASSERT_TRUE(Store().WriteProfileString(CRecentFileList::kSection, L"File1", L"C:\\kept.mp4"));
    ASSERT_TRUE(Store().WriteProfileInt(CRecentFileList::kSection, L"File2", 7));
    CRecentFileList list;
    list.Load(Store());
    list.Add(L"C:\\other.mp4");
    list.Save(Store());
    EXPECT_EQ(RawString(L"File1"), L"C:\\kept.mp4");
    EXPECT_EQ(Store().GetProfileInt(CRecentFileList::kSection, L"File2", 0), 7u);
}

TEST_F(AppSettingsTest, RecentFilesNeverLoadedAreNotSaved) {
    ASSERT_TRUE(Store().WriteProfileString(CRecentFileList::kSection, L"File1", L"C:\\kept.mp4"));
    CRecentFileList list;
    list.Add(L"C:\\other.mp4");
    list.Save(Store());
    EXPECT_EQ(RawString(L"File1"), L"C:\\kept.mp4");
    EXPECT_EQ(RawString(L"File2"), L"<absent>");
}

} // namespace
