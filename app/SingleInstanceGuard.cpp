#include "app/App.h"

CSingleInstanceGuard::CSingleInstanceGuard(const wchar_t* name) {
    m_hMutex = CreateMutexW(nullptr, FALSE, name);
    m_dwLastError = GetLastError();
}

CSingleInstanceGuard::~CSingleInstanceGuard() {
    if (m_hMutex) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
}
