// Where the program keeps the framework's settings: below its own key in
// HKEY_LOCAL_MACHINE, created by the first start and written back at exit.
#include "support/E2E.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kCompanyKey[] = L"Software\\Dravix Video Repair";
constexpr wchar_t kApplicationKey[] = L"Software\\Dravix Video Repair\\Dravix Video Repair";
constexpr wchar_t kRecentFiles[] =
    L"Software\\Dravix Video Repair\\Dravix Video Repair\\Recent File List";

using support::KeyExists;

void RemoveProgramKey() {
    support::RemoveSoftwareKey(L"Dravix Video Repair");
    ASSERT_FALSE(KeyExists(kCompanyKey));
}

std::wstring RecentFile(const wchar_t* entry) {
    return support::RegistryString(kRecentFiles, entry);
}

TEST(Settings, FirstStartCreatesTheApplicationKey) {
    RemoveProgramKey();
    e2e::App app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_TRUE(KeyExists(kApplicationKey));
}

TEST(Settings, RecentFilesOutliveARun) {
    RemoveProgramKey();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRecentFiles, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t path[] = L"C:\\Videos\\clip.mp4";
    RegSetValueExW(key, L"File1", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
    RegSetValueExW(key, L"File3", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), 2);
    RegCloseKey(key);

    e2e::App app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(RecentFile(L"File1"), path);
    EXPECT_EQ(RecentFile(L"File3"), L"<absent>") << "an empty entry is written back as none";
}

} // namespace
