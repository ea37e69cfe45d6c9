// The application's profile operations, answered by the settings store.
#include "app/App.h"
#include "settings/ProfileStore.h"

namespace {

ProfileStore StoreOf(const CDravix_Video_RecoveryApp& app) {
    ProfileStore store;
    if (!app.m_strRegistryKey.empty())
        store.registryKey = app.m_strRegistryKey;
    store.profileName = app.m_strProfileName;
    return store;
}

} // namespace

UINT CDravix_Video_RecoveryApp::GetProfileInt(const wchar_t* section, const wchar_t* entry,
                                              int defaultValue) {
    return StoreOf(*this).GetProfileInt(section, entry, defaultValue);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileInt(const wchar_t* section, const wchar_t* entry,
                                                int value) {
    return StoreOf(*this).WriteProfileInt(section, entry, value);
}

std::wstring CDravix_Video_RecoveryApp::GetProfileString(const wchar_t* section,
                                                         const wchar_t* entry,
                                                         const wchar_t* defaultValue) {
    return StoreOf(*this).GetProfileString(section, entry, defaultValue);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileString(const wchar_t* section, const wchar_t* entry,
                                                   const wchar_t* value) {
    return StoreOf(*this).WriteProfileString(section, entry, value);
}

BOOL CDravix_Video_RecoveryApp::GetProfileBinary(const wchar_t* section, const wchar_t* entry,
                                                 BYTE** data, UINT* bytes) {
    return StoreOf(*this).GetProfileBinary(section, entry, data, bytes);
}

BOOL CDravix_Video_RecoveryApp::WriteProfileBinary(const wchar_t* section, const wchar_t* entry,
                                                   const BYTE* data, UINT bytes) {
    return StoreOf(*this).WriteProfileBinary(section, entry, data, bytes);
}
