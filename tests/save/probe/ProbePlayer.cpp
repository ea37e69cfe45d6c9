// Stands in for the preview player in tests: records how it was started and
// stays up for a while, so a test can see what the program handed over and how
// long the program waited.
//
//   DRAVIX_PROBE_OUT      file that receives the report (UTF-8, one key=value a line)
//   DRAVIX_PROBE_WAIT_MS  how long to keep running before exiting (default 0)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length && length < MAX_PATH * 2 ? value : L"";
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
    return result;
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);

    // Shown the way a player shows its first window: as the starter asked.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"ProbePlayer";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"ProbePlayer", L"Probe player", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                0, 320, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    const bool zoomed = IsZoomed(window) != FALSE;

    const std::wstring out = Environment(L"DRAVIX_PROBE_OUT");
    if (!out.empty()) {
        if (FILE* file = _wfopen(out.c_str(), L"wb")) {
            std::fprintf(file, "commandline=%s\nflags=%lu\nshow=%u\ncmdshow=%d\nzoomed=%d\n",
                         Utf8(GetCommandLineW()).c_str(), startup.dwFlags,
                         static_cast<unsigned>(startup.wShowWindow), showCommand, zoomed ? 1 : 0);
            std::fclose(file);
        }
    }

    const DWORD wait =
        static_cast<DWORD>(std::wcstoul(Environment(L"DRAVIX_PROBE_WAIT_MS").c_str(), nullptr, 10));
    const DWORD end = GetTickCount() + wait;
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    DestroyWindow(window);
    // The last thing before the exit: whoever waited for this program sees it.
    if (!out.empty()) {
        if (FILE* file = _wfopen(out.c_str(), L"ab")) {
            std::fputs("ended=1\n", file);
            std::fclose(file);
        }
    }
    return 0;
}
