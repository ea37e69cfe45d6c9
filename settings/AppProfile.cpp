// The application's profile operations, answered by the settings store.
#include "app/App.h"

UINT CDravix_Video_RecoveryApp::GetProfileInt(const wchar_t*, const wchar_t*, int defaultValue) {
    return static_cast<UINT>(defaultValue);
}
BOOL CDravix_Video_RecoveryApp::WriteProfileInt(const wchar_t*, const wchar_t*, int) {
    return FALSE;
}
std::wstring CDravix_Video_RecoveryApp::GetProfileString(const wchar_t*, const wchar_t*,
                                                         const wchar_t* defaultValue) {
    return defaultValue ? defaultValue : L"";
}
BOOL CDravix_Video_RecoveryApp::WriteProfileString(const wchar_t*, const wchar_t*,
                                                   const wchar_t*) {
    return FALSE;
}
BOOL CDravix_Video_RecoveryApp::GetProfileBinary(const wchar_t*, const wchar_t*, BYTE** data,
                                                 UINT* bytes) {
    *data = nullptr;
    *bytes = 0;
    return FALSE;
}
BOOL CDravix_Video_RecoveryApp::WriteProfileBinary(const wchar_t*, const wchar_t*, const BYTE*,
                                                   UINT) {
    return FALSE;
}
