// The baseline of the start-up benchmark: the least a Win32 program does to
// put a painted window on screen. It is built with the program's compiler,
// flags and manifest, and is as large as the program's main window.
#include "framework/Application.h"

#include <windows.h>

#include <string>

namespace {
// The steps the program announces, where the bare window has them, for the
// start-up benchmark to set side by side.
void MarkStep(const char* step) {
    static const bool announce = GetEnvironmentVariableW(fw::kStartupStepsVariable, nullptr, 0) > 0;
    if (announce)
        OutputDebugStringA((std::string(fw::kStartupStepPrefix) + step).c_str());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    MarkStep("entry");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Dravix.BareWindow";
    if (!RegisterClassExW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Bare window",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 220,
                                  250, 840, 520, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MarkStep("frame");
    ShowWindow(window, show);
    MarkStep("shown");
    UpdateWindow(window);
    MarkStep("painted");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
