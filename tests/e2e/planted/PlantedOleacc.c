/* A stand-in for the accessibility library that the end-to-end tests plant
 * beside a copy of the program. Whatever loads it leaves a mark: a file named
 * after it with ".loaded" appended. Its two functions are the ones the
 * program takes from the real library, so that a program importing them
 * still starts. */
#include <windows.h>

__declspec(dllexport) HRESULT WINAPI CreateStdAccessibleObject(HWND window, LONG object,
                                                               const GUID* iid, void** out) {
    (void)window;
    (void)object;
    (void)iid;
    if (out)
        *out = NULL;
    return E_FAIL;
}

__declspec(dllexport) LRESULT WINAPI LresultFromObject(const GUID* iid, WPARAM wParam,
                                                       void* object) {
    (void)iid;
    (void)wParam;
    (void)object;
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t mark[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(self, mark, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatW(mark, L".loaded");
            HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}
