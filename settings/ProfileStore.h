// Where the application's settings live: the registry below
// HKEY_LOCAL_MACHINE\Software\<registry key>\<profile name>, one key per
// section, or an INI file when no registry key is configured.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// An open registry key, closed when it goes out of scope.
struct RegistryKeyTraits {
    static bool Valid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
using RegistryKey = fw::UniqueResource<HKEY, RegistryKeyTraits>;

// Built afresh for every settings operation; keeps nothing between calls.
class ProfileStore {
public:
    // Every key is opened or created with read and write access.
    static constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
    // Characters read from an INI file, the terminating zero included.
    static constexpr DWORD kIniBufferChars = 4096;

    // No registry key (or an empty one) selects the INI file `profileName`;
    // a bare file name refers to the Windows folder.
    std::optional<std::wstring> registryKey;
    std::wstring profileName;

    bool UsesRegistry() const { return registryKey && !registryKey->empty(); }

    // HKLM\Software\<registryKey>\<profileName>, created when missing.
    RegistryKey OpenApplicationKey() const;
    // The section's key below the application key, created when missing.
    RegistryKey OpenSectionKey(const wchar_t* section) const;

    UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) const;
    BOOL WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value) const;
    // A null default gives the empty string. Each kind reads only values of
    // its own registry type; any other reads as the default.
    std::wstring GetProfileString(const wchar_t* section, const wchar_t* entry,
                                  const wchar_t* defaultValue) const;
    // A string, telling an absent entry from one that could not be read.
    enum class Read { Value, Absent, Failed };
    Read ReadString(const wchar_t* section, const wchar_t* entry, std::wstring& text) const;
    // A null value removes the entry, a null entry the whole section.
    BOOL WriteProfileString(const wchar_t* section, const wchar_t* entry,
                            const wchar_t* value) const;
    // On success *data is an array allocated with new[] that the caller
    // deletes with delete[]; on failure it is null.
    BOOL GetProfileBinary(const wchar_t* section, const wchar_t* entry, BYTE** data,
                          UINT* bytes) const;
    BOOL WriteProfileBinary(const wchar_t* section, const wchar_t* entry, const BYTE* data,
                            UINT bytes) const;

    // The INI form of binary data: two capital letters per byte, the low
    // nibble first ('A' + low, 'A' + high), and back. Decoding takes whole
    // pairs only; letters outside A..P still give a byte, kept to 8 bits.
    static std::wstring EncodeBytes(const BYTE* data, UINT bytes);
    static std::vector<BYTE> DecodeBytes(const std::wstring& text);
};

// The recently used files, kept in the "Recent File List" section as
// "File1".."File4" (at most four, the most recent first).
class CRecentFileList {
public:
    static constexpr int kMaxEntries = 4;
    static constexpr const wchar_t* kSection = L"Recent File List";

    // Replaces the list with what the settings hold.
    void Load(const ProfileStore& store);
    // Writes a loaded list back; entries without a file are removed. A list
    // that was never loaded, or not read whole, writes nothing, so that
    // entries it could not read are not wiped.
    void Save(const ProfileStore& store) const;
    // Puts the path first, dropping an older mention of it and the oldest entry.
    void Add(const std::wstring& path);

    // The entries, kMaxEntries of them; unused ones are empty.
    const std::vector<std::wstring>& Entries() const { return m_entries; }

    static std::wstring EntryName(int index);

private:
    std::vector<std::wstring> m_entries = std::vector<std::wstring>(kMaxEntries);
    bool m_bLoaded = false;
};
