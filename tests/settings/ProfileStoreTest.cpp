#include "support/Testing.h"

#include "settings/ProfileStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

using support::KeyExists;
using support::NewGuidText;

// Takes ownership of what GetProfileBinary hands out.
struct BinaryResult {
    BOOL ok = FALSE;
    std::unique_ptr<BYTE[]> data;
    UINT bytes = 0;
    std::vector<BYTE> Bytes() const { return {data.get(), data.get() + bytes}; }
};

BinaryResult ReadBinary(const ProfileStore& store, const wchar_t* section, const wchar_t* entry) {
    static BYTE unset;
    BYTE* data = &unset;
    BinaryResult result;
    result.bytes = 12345;
    result.ok = store.GetProfileBinary(section, entry, &data, &result.bytes);
    EXPECT_NE(data, &unset) << "the data pointer was left as it was";
    if (data != &unset)
        result.data.reset(data);
    return result;
}

// The store against a company key of its own below HKLM\Software, removed afterwards.
class RegistryStoreTest : public testing::Test {
protected:
    void SetUp() override {
        m_company = L"Dravix Test " + NewGuidText();
        m_store.registryKey = m_company;
        m_store.profileName = L"Dravix Video Repair";
    }
    void TearDown() override {
        support::RemoveSoftwareKey(m_company);
        EXPECT_FALSE(KeyExists(CompanyPath()));
    }

    std::wstring CompanyPath() const { return L"Software\\" + m_company; }
    std::wstring ApplicationPath() const { return CompanyPath() + L"\\" + m_store.profileName; }
    std::wstring SectionPath(const wchar_t* section) const {
        return ApplicationPath() + L"\\" + section;
    }

    // Stores a value below the section directly, bypassing the store.
    void SetRaw(const wchar_t* section, const wchar_t* entry, DWORD type, const void* data,
                DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, SectionPath(section).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, entry, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The type and size of a stored value; type REG_NONE with size 0 when absent.
    std::pair<DWORD, DWORD> RawTypeAndSize(const wchar_t* section, const wchar_t* entry) {
        DWORD type = REG_NONE, size = 0;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SectionPath(section).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return {REG_NONE, 0};
        if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            type = REG_NONE, size = 0;
        RegCloseKey(key);
        return {type, size};
    }

    std::wstring m_company;
    ProfileStore m_store;
};

TEST_F(RegistryStoreTest, FirstOperationCreatesCompanyApplicationAndSectionKeys) {
    ASSERT_FALSE(KeyExists(CompanyPath()));
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Width", 7), 7u);
    EXPECT_TRUE(KeyExists(CompanyPath()));
    EXPECT_TRUE(KeyExists(ApplicationPath()));
    EXPECT_TRUE(KeyExists(SectionPath(L"Settings")));
}

TEST_F(RegistryStoreTest, IntegersStringsAndBytesRoundTripWithTheirRegistryTypes) {
    EXPECT_TRUE(m_store.WriteProfileInt(L"Settings", L"Width", 840));
    EXPECT_TRUE(m_store.WriteProfileInt(L"Settings", L"Offset", -5));
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Width", 0), 840u);
    EXPECT_EQ(static_cast<int>(m_store.GetProfileInt(L"Settings", L"Offset", 0)), -5);
    EXPECT_EQ(RawTypeAndSize(L"Settings", L"Width"), std::make_pair(DWORD{REG_DWORD}, DWORD{4}));

    const wchar_t* path = L"C:\\Videos\\Caf\u00e9 \u6f22\u5b57.mp4";
    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"File1", path));
    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"Empty", L""));
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File1", L"none"), path);
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"Empty", L"none"), L"");
    EXPECT_EQ(RawTypeAndSize(L"Recent", L"File1"),
              std::make_pair(DWORD{REG_SZ}, DWORD((wcslen(path) + 1) * 2)));

    const BYTE bytes[] = {0x00, 0xFF, 0x3C, 0x80, 0x01};
    EXPECT_TRUE(m_store.WriteProfileBinary(L"Layout", L"State", bytes, sizeof bytes));
    BinaryResult read = ReadBinary(m_store, L"Layout", L"State");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.Bytes(), std::vector<BYTE>(bytes, bytes + sizeof bytes));
    EXPECT_EQ(RawTypeAndSize(L"Layout", L"State"),
              std::make_pair(DWORD{REG_BINARY}, DWORD{sizeof bytes}));
}

TEST_F(RegistryStoreTest, MissingEntriesGiveTheDefault) {
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Missing", 42), 42u);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Missing", L"fallback"), L"fallback");
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Missing", nullptr), L"");
    BinaryResult read = ReadBinary(m_store, L"Settings", L"Missing");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.data, nullptr);
    EXPECT_EQ(read.bytes, 0u);
}

TEST_F(RegistryStoreTest, EachKindReadsOnlyValuesOfItsOwnType) {
    // A string "7" would read as the integer 55, two bytes as half an integer.
    const wchar_t seven[] = L"7";
    SetRaw(L"Settings", L"Text", REG_SZ, seven, sizeof seven);
    const BYTE two[] = {0x34, 0x12};
    SetRaw(L"Settings", L"Short", REG_BINARY, two, sizeof two);
    const DWORD number = 7;
    SetRaw(L"Settings", L"Number", REG_DWORD, &number, sizeof number);
    SetRaw(L"Settings", L"Expandable", REG_EXPAND_SZ, seven, sizeof seven);

    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Text", 9), 9u);
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Short", 9), 9u);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Number", L"d"), L"d");
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Expandable", L"d"), L"d");
    EXPECT_FALSE(ReadBinary(m_store, L"Settings", L"Text").ok);
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Number", 9), 7u);
}

TEST_F(RegistryStoreTest, StringReadStopsAtTheValueEvenWithoutTerminatingZero) {
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    SetRaw(L"Settings", L"NoZero", REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"NoZero", nullptr), L"abc");

    // An odd byte count: the half character at the end is left out.
    const BYTE odd[] = {'a', 0, 'b', 0, 'c', 0, 'd'};
    SetRaw(L"Settings", L"Odd", REG_SZ, odd, sizeof odd);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Odd", nullptr), L"abc");

    const wchar_t embedded[] = L"ab\0cd";
    SetRaw(L"Settings", L"Embedded", REG_SZ, embedded, sizeof embedded);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Embedded", nullptr), L"ab");

    SetRaw(L"Settings", L"Nothing", REG_SZ, nullptr, 0);
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Nothing", L"x"), L"");
}

TEST_F(RegistryStoreTest, NullEntryRemovesTheWholeSectionAndNullValueOneEntry) {
    ASSERT_TRUE(m_store.WriteProfileString(L"Recent", L"File1", L"a.mp4"));
    ASSERT_TRUE(m_store.WriteProfileString(L"Recent", L"File2", L"b.mp4"));
    ASSERT_TRUE(m_store.WriteProfileInt(L"Other", L"Kept", 1));

    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"File1", nullptr));
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File1", L"gone"), L"gone");
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File2", nullptr), L"b.mp4");
    EXPECT_FALSE(m_store.WriteProfileString(L"Recent", L"File1", nullptr)) << "already removed";

    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", nullptr, nullptr));
    EXPECT_FALSE(KeyExists(SectionPath(L"Recent")));
    EXPECT_EQ(m_store.GetProfileInt(L"Other", L"Kept", 0), 1u);

    // Removing a section that is not there fails and does not create it.
    EXPECT_FALSE(m_store.WriteProfileString(L"Never", nullptr, nullptr));
    EXPECT_FALSE(KeyExists(SectionPath(L"Never")));
}

TEST_F(RegistryStoreTest, EmptyBinaryValueIsStoredAndReadsBackAsZeroBytes) {
    const BYTE unused = 0;
    EXPECT_TRUE(m_store.WriteProfileBinary(L"Layout", L"Empty", &unused, 0));
    EXPECT_TRUE(m_store.WriteProfileBinary(L"Layout", L"NullEmpty", nullptr, 0));
    for (const wchar_t* entry : {L"Empty", L"NullEmpty"}) {
        BinaryResult read = ReadBinary(m_store, L"Layout", entry);
        EXPECT_TRUE(read.ok) << entry;
        EXPECT_EQ(read.bytes, 0u) << entry;
    }
    EXPECT_FALSE(m_store.WriteProfileBinary(L"Layout", L"Bad", nullptr, 3));
    EXPECT_EQ(RawTypeAndSize(L"Layout", L"Bad").first, DWORD{REG_NONE});
}

TEST_F(RegistryStoreTest, CompanyKeyWithoutApplicationKeyGetsItBack) {
    HKEY company = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, CompanyPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &company, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(company);
    ASSERT_FALSE(KeyExists(ApplicationPath()));

    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Width", 3), 3u);
    EXPECT_TRUE(KeyExists(ApplicationPath()));
    EXPECT_TRUE(m_store.WriteProfileInt(L"Settings", L"Width", 840));
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Width", 3), 840u);
}

TEST_F(RegistryStoreTest, NoSectionNameTouchesNothing) {
    EXPECT_FALSE(m_store.WriteProfileInt(nullptr, L"Width", 1));
    EXPECT_FALSE(m_store.WriteProfileString(nullptr, nullptr, nullptr));
    EXPECT_EQ(m_store.GetProfileString(nullptr, L"Width", L"d"), L"d");
    EXPECT_FALSE(KeyExists(CompanyPath()));
}

// The store over an INI file in a scratch folder.
class IniStoreTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = support::TempPath(L"dravix-ini-" + NewGuidText());
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
        m_store.profileName = m_folder + L"\\settings.ini";
    }
    void TearDown() override {
        // Let the platform write out and forget the file before it goes.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_store.profileName.c_str());
        DeleteFileW(m_store.profileName.c_str());
        EXPECT_TRUE(RemoveDirectoryW(m_folder.c_str()));
    }

    std::string FileText() const { return support::ReadBytes(m_store.profileName); }

    std::wstring m_folder;
    ProfileStore m_store;
};

TEST_F(IniStoreTest, BytesAreStoredAsLetterPairsLowNibbleFirst) {
    ASSERT_FALSE(m_store.UsesRegistry());
    const BYTE bytes[] = {0x00, 0xFF, 0x3C};
    EXPECT_TRUE(m_store.WriteProfileBinary(L"Layout", L"State", bytes, sizeof bytes));
    EXPECT_EQ(m_store.GetProfileString(L"Layout", L"State", nullptr), L"AAPPMD");
    EXPECT_NE(FileText().find("State=AAPPMD"), std::string::npos) << FileText();

    BinaryResult read = ReadBinary(m_store, L"Layout", L"State");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.Bytes(), std::vector<BYTE>(bytes, bytes + sizeof bytes));
}

TEST_F(IniStoreTest, EmptyBinaryIsAnEmptyTextThatReadsBackAsNothing) {
    EXPECT_TRUE(m_store.WriteProfileBinary(L"Layout", L"Empty", nullptr, 0));
    EXPECT_NE(FileText().find("Empty="), std::string::npos);
    BinaryResult read = ReadBinary(m_store, L"Layout", L"Empty");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.data, nullptr);
    EXPECT_EQ(read.bytes, 0u);
}

TEST_F(IniStoreTest, IntegersAndStringsRoundTripAndRemove) {
    EXPECT_TRUE(m_store.WriteProfileInt(L"Settings", L"Offset", -2147483647 - 1));
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Offset", nullptr), L"-2147483648");
    EXPECT_EQ(m_store.GetProfileInt(L"Settings", L"Missing", 17), 17u);
    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"File1", L"C:\\a.mp4"));
    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"File2", L"C:\\b.mp4"));
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File1", nullptr), L"C:\\a.mp4");

    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", L"File1", nullptr));
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File1", L"gone"), L"gone");
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File2", nullptr), L"C:\\b.mp4");
    EXPECT_TRUE(m_store.WriteProfileString(L"Recent", nullptr, nullptr));
    EXPECT_EQ(m_store.GetProfileString(L"Recent", L"File2", nullptr), L"");
    EXPECT_EQ(FileText().find("[Recent]"), std::string::npos);
}

TEST_F(IniStoreTest, LongStringsComeBackCut) {
    const std::wstring text(5000, L'x');
    EXPECT_TRUE(m_store.WriteProfileString(L"Settings", L"Long", text.c_str()));
    EXPECT_EQ(m_store.GetProfileString(L"Settings", L"Long", nullptr), text.substr(0, 4095));
}

std::vector<BYTE> PairsOf(const std::wstring& text) {
    std::vector<BYTE> bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(((text[i + 1] - L'A') << 4) + (text[i] - L'A')));
    return bytes;
}

TEST_F(IniStoreTest, OddAndForeignLetterTextsDecodeInWholePairsOnly) {
    std::mt19937 random(20240611);
    // Characters that a private-profile file keeps as they are.
    const std::wstring alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                  L"!#$%&()*+,-./:<>?@[]^_{|}~";
    std::uniform_int_distribution<size_t> length(1, 41);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 150; ++round) {
        std::wstring text(length(random), L' ');
        for (wchar_t& c : text)
            c = alphabet[pick(random)];
        ASSERT_TRUE(m_store.WriteProfileString(L"Layout", L"State", text.c_str()));
        BinaryResult read = ReadBinary(m_store, L"Layout", L"State");
        ASSERT_TRUE(read.ok) << "text " << round;
        ASSERT_EQ(read.bytes, text.size() / 2) << "text " << round;
        EXPECT_EQ(read.Bytes(), PairsOf(text)) << "text " << round;
    }

    // Any UTF-16 unit, straight through the decoder.
    std::uniform_int_distribution<int> unit(1, 0xFFFF);
    for (int round = 0; round < 2000; ++round) {
        std::wstring text(length(random), L' ');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(unit(random));
        const std::vector<BYTE> decoded = ProfileStore::DecodeBytes(text);
        ASSERT_EQ(decoded.size(), text.size() / 2);
        EXPECT_EQ(decoded, PairsOf(text));
    }
}

TEST_F(IniStoreTest, SingleLetterDecodesToNoBytes) {
    ASSERT_TRUE(m_store.WriteProfileString(L"Layout", L"State", L"M"));
    BinaryResult read = ReadBinary(m_store, L"Layout", L"State");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.bytes, 0u);
    ASSERT_TRUE(m_store.WriteProfileString(L"Layout", L"State", L"MDP"));
    read = ReadBinary(m_store, L"Layout", L"State");
    EXPECT_EQ(read.Bytes(), std::vector<BYTE>{0x3C});
}

} // namespace
