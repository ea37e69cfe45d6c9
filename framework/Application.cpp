#include "framework/Application.h"

#include "framework/Frame.h"

#include <commctrl.h>
#include <objbase.h>

namespace fw {

void Application::SetMainFrame(Frame* frame) {
    if (m_mainFrame)
        m_mainFrame->m_app = nullptr;
    m_mainFrame = frame;
    if (frame)
        frame->m_app = this;
}

HWND Application::MainWindow() const {
    return m_mainFrame ? m_mainFrame->Handle() : nullptr;
}

bool Application::PreTranslate(MSG& message) {
    for (HWND window = message.hwnd; window; window = GetParent(window)) {
        if (WindowBase* object = WindowBase::FromHandle(window);
            object && object->PreTranslateMessage(message))
            return true;
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    HWND frame = MainWindow();
    if (!frame || !m_mainFrame->Accelerators() ||
        (message.hwnd != frame && !IsChild(frame, message.hwnd)))
        return false;
    // An edit control keeps the keys of accelerators that no command takes:
    // copying, pasting, undoing and selecting there are its own.
    if (const UINT command = m_mainFrame->AcceleratorCommand(message);
        command && !m_mainFrame->HasCommand(command) &&
        (SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        return false;
    return TranslateAcceleratorW(frame, m_mainFrame->Accelerators(), &message) != 0;
}

void Application::WaitHandlingMessages(HANDLE handle) {
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            Dispatch(message);
        }
    }
}

void Application::Dispatch(MSG& message) {
    if (PreTranslate(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int Application::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
    const int code = ExitInstance();
    return code ? code : static_cast<int>(message.wParam);
}

int RunApplication(Application& app) {
    MarkStartupStep("entry");
    int code = 0;
    HRESULT com = E_FAIL;
    if (app.InitInstance()) {
        // Nothing before the first paint uses them: COM serves the choosers,
        // the links and the screen readers; the common controls' classes, the
        // tooltips and the progress bar. Both are ready before the first
        // message is handled.
        com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        MarkStartupStep("loop");
        code = app.Run();
    } else if (HWND frame = app.MainWindow()) {
        DestroyWindow(frame);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return code;
}

void MarkStartupStep(const char* step) {
    static const bool announce = GetEnvironmentVariableW(kStartupStepsVariable, nullptr, 0) > 0;
    if (announce)
        OutputDebugStringA((std::string(kStartupStepPrefix) + step).c_str());
}

} // namespace fw
