#include "settings/ProfileStore.h"

#include <algorithm>
#include <cwchar>

namespace {

RegistryKey OpenKey(HKEY parent, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, ProfileStore::kAccess, &key) != ERROR_SUCCESS)
        return {};
    return RegistryKey(key);
}

RegistryKey CreateKey(HKEY parent, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, ProfileStore::kAccess,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return RegistryKey(key);
}

RegistryKey OpenOrCreateKey(HKEY parent, const wchar_t* name) {
    RegistryKey key = OpenKey(parent, name);
    return key ? std::move(key) : CreateKey(parent, name);
}

} // namespace

RegistryKey ProfileStore::OpenApplicationKey() const {
    if (!UsesRegistry())
        return {};
    RegistryKey software = OpenKey(HKEY_LOCAL_MACHINE, L"Software");
    if (!software)
        return {};
    // A company key left without its application key (by an uninstaller or
    // by hand) gets the application key back; otherwise every setting would
    // be lost from then on.
    RegistryKey company = OpenOrCreateKey(software.Get(), registryKey->c_str());
    if (!company)
        return {};
    return OpenOrCreateKey(company.Get(), profileName.c_str());
}

RegistryKey ProfileStore::OpenSectionKey(const wchar_t* section) const {
    // Without a section name the application key itself would be used.
    if (!section)
        return {};
    RegistryKey application = OpenApplicationKey();
    if (!application)
        return {};
    return OpenOrCreateKey(application.Get(), section);
}

UINT ProfileStore::GetProfileInt(const wchar_t* section, const wchar_t* entry,
                                 int defaultValue) const {
    if (!UsesRegistry())
        return GetPrivateProfileIntW(section, entry, defaultValue, profileName.c_str());

    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return static_cast<UINT>(defaultValue);
    // A value of another kind (a string "7" would read as 55) is not an integer.
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL ProfileStore::WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value) const {
    if (!UsesRegistry()) {
        wchar_t text[16];
        swprintf(text, 16, L"%d", value);
        return WritePrivateProfileStringW(section, entry, text, profileName.c_str());
    }
    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return FALSE;
    const DWORD stored = static_cast<DWORD>(value);
    return RegSetValueExW(key.Get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                          sizeof stored) == ERROR_SUCCESS;
}

std::wstring ProfileStore::GetProfileString(const wchar_t* section, const wchar_t* entry,
                                            const wchar_t* defaultValue) const {
    const wchar_t* fallback = defaultValue ? defaultValue : L"";
    if (!UsesRegistry()) {
        std::wstring text(kIniBufferChars, L'\0');
        const DWORD length = GetPrivateProfileStringW(section, entry, fallback, text.data(),
                                                      kIniBufferChars, profileName.c_str());
        text.resize(wcsnlen(text.c_str(), length));
        return text;
    }
    std::wstring text;
    return ReadString(section, entry, text) == Read::Value ? text : fallback;
}

ProfileStore::Read ProfileStore::ReadString(const wchar_t* section, const wchar_t* entry,
                                            std::wstring& text) const {
    text.clear();
    if (!UsesRegistry()) {
        // The file cannot tell an absent entry from an empty one.
        std::wstring buffer(kIniBufferChars, L'\0');
        const DWORD length = GetPrivateProfileStringW(section, entry, L"", buffer.data(),
                                                      kIniBufferChars, profileName.c_str());
        buffer.resize(wcsnlen(buffer.c_str(), length));
        text = buffer;
        return text.empty() ? Read::Absent : Read::Value;
    }

    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return Read::Failed;
    DWORD size = 0;
    DWORD type = REG_NONE;
    const LONG status = RegQueryValueExW(key.Get(), entry, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return Read::Absent;
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return Read::Failed;
    // The stored value need not end in a zero, nor hold whole characters: the
    // buffer covers every byte the value may hand over, and only whole
    // characters up to the first zero make the text.
    text.assign((size + 1) / sizeof(wchar_t), L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &read) != ERROR_SUCCESS ||
        type != REG_SZ) {
        text.clear();
        return Read::Failed;
    }
    text.resize(read / sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Read::Value;
}

BOOL ProfileStore::WriteProfileString(const wchar_t* section, const wchar_t* entry,
                                      const wchar_t* value) const {
    if (!UsesRegistry())
        return WritePrivateProfileStringW(section, entry, value, profileName.c_str());

    if (!entry) {
        // The application key, not the section's, so that a missing section
        // is not created only to be deleted.
        if (!section)
            return FALSE;
        RegistryKey application = OpenApplicationKey();
        if (!application)
            return FALSE;
        return RegDeleteKeyW(application.Get(), section) == ERROR_SUCCESS;
    }
    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return FALSE;
    if (!value)
        return RegDeleteValueW(key.Get(), entry) == ERROR_SUCCESS;
    const DWORD size = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          size) == ERROR_SUCCESS;
}

BOOL ProfileStore::GetProfileBinary(const wchar_t* section, const wchar_t* entry, BYTE** data,
                                    UINT* bytes) const {
    *data = nullptr;
    *bytes = 0;
    if (!UsesRegistry()) {
        const std::wstring text = GetProfileString(section, entry, nullptr);
        if (text.empty())
            return FALSE;
        const std::vector<BYTE> decoded = DecodeBytes(text);
        *bytes = static_cast<UINT>(decoded.size());
        *data = new BYTE[decoded.size()];
        std::copy(decoded.begin(), decoded.end(), *data);
        return TRUE;
    }

    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return FALSE;
    DWORD size = 0;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return FALSE;
    *bytes = size;
    BYTE* buffer = new BYTE[size];
    DWORD read = size;
    if (RegQueryValueExW(key.Get(), entry, nullptr, nullptr, buffer, &read) != ERROR_SUCCESS) {
        delete[] buffer;
        return FALSE;
    }
    // The value may have shrunk between the two reads.
    *bytes = read;
    *data = buffer;
    return TRUE;
}

BOOL ProfileStore::WriteProfileBinary(const wchar_t* section, const wchar_t* entry,
                                      const BYTE* data, UINT bytes) const {
    if (!data && bytes)
        return FALSE;
    if (!UsesRegistry())
        return WriteProfileString(section, entry, EncodeBytes(data, bytes).c_str());

    RegistryKey key = OpenSectionKey(section);
    if (!key)
        return FALSE;
    return RegSetValueExW(key.Get(), entry, 0, REG_BINARY, data, bytes) == ERROR_SUCCESS;
}

std::wstring ProfileStore::EncodeBytes(const BYTE* data, UINT bytes) {
    std::wstring text;
    text.reserve(size_t{bytes} * 2);
    for (UINT i = 0; i < bytes; ++i) {
        text += static_cast<wchar_t>(L'A' + (data[i] & 0x0F));
        text += static_cast<wchar_t>(L'A' + (data[i] >> 4));
    }
    return text;
}

std::vector<BYTE> ProfileStore::DecodeBytes(const std::wstring& text) {
    // A trailing odd letter has no partner and is left out.
    std::vector<BYTE> bytes(text.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int low = static_cast<int>(text[2 * i]) - L'A';
        const int high = static_cast<int>(text[2 * i + 1]) - L'A';
        bytes[i] = static_cast<BYTE>(high * 16 + low);
    }
    return bytes;
}
