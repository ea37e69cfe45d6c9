// The application's profile operations, answered by the settings store.
#include "app/App.h"
#include "settings/ProfileStore.h"

ProfileStore CDravix_Video_RecoveryApp::Store() const {
    ProfileStore store;
    if (!m_strRegistryKey.empty())
        store.registryKey = m_strRegistryKey;
    store.profileName = m_strProfileName;
    return store;
}

UINT CDravix_Video_RecoveryApp::GetProfileInt(const wchar_t* section, const wchar_t* entry,
                                              int defaultValue) {
    return Store().GetProfileInt(section, entry, defaultValue);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileInt(const wchar_t* section, const wchar_t* entry,
                                                int value) {
    return Store().WriteProfileInt(section, entry, value);
}

std::wstring CDravix_Video_RecoveryApp::GetProfileString(const wchar_t* section,
                                                         const wchar_t* entry,
                                                         const wchar_t* defaultValue) {
    return Store().GetProfileString(section, entry, defaultValue);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileString(const wchar_t* section, const wchar_t* entry,
                                                   const wchar_t* value) {
    return Store().WriteProfileString(section, entry, value);
}

BOOL CDravix_Video_RecoveryApp::GetProfileBinary(const wchar_t* section, const wchar_t* entry,
                                                 BYTE** data, UINT* bytes) {
    return Store().GetProfileBinary(section, entry, data, bytes);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileBinary(const wchar_t* section, const wchar_t* entry,
                                                   const BYTE* data, UINT bytes) {
    return Store().WriteProfileBinary(section, entry, data, bytes);
}
