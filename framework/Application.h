// The application object: start-up hook, command table and message loop.
#pragma once

#include "framework/MessageMap.h"

#include <windows.h>

#include <string>

namespace fw {

class Frame;

class Application : public MessageTarget {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application() override;

    // The one application object of the process (the last one constructed).
    static Application* Current();

    // Creates the main window; false ends the program at once.
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
    bool ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

    // Runs the message loop until the main window is gone; returns the exit code.
    int Run();
    // Sends a message through PreTranslateMessage and the accelerators; true if it was taken.
    bool PreTranslate(MSG& message);
    // Handles this thread's messages, as the message loop does, until the
    // handle is signalled. A WM_QUIT ends the wait and is posted again.
    void WaitHandlingMessages(HANDLE handle);

    const std::wstring& AppName() const { return m_appName; }
    void SetAppName(std::wstring name) { m_appName = std::move(name); }
    Frame* MainFrame() const { return m_mainFrame; }
    void SetMainFrame(Frame* frame) { m_mainFrame = frame; }
    HWND MainWindow() const;
    DWORD UiThreadId() const { return m_uiThread; }
    bool OnUiThread() const { return GetCurrentThreadId() == m_uiThread; }

private:
    std::wstring m_appName;
    Frame* m_mainFrame = nullptr;
    DWORD m_uiThread;
    Application* m_previous;
};

// The program's entry: runs InitInstance, which puts the main window on the
// screen, then initialises COM and the common controls, and runs the message
// loop of the current application object.
int RunApplication();

// Announces that start-up has reached `step`, as debug output that begins
// with kStartupStepPrefix, when the environment names kStartupStepsVariable:
// the start-up benchmark sets it and listens. Otherwise it does nothing.
inline constexpr char kStartupStepPrefix[] = "dravix-startup: ";
inline constexpr wchar_t kStartupStepsVariable[] = L"DRAVIX_STARTUP_STEPS";
void MarkStartupStep(const char* step);

} // namespace fw
