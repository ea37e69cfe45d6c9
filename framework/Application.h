// The application object: start-up hook, command table and message loop.
#pragma once

#include "framework/MessageMap.h"

#include <windows.h>

namespace fw {

class Frame;

class Application : public MessageTarget {
public:
    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

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

    // The main frame runs this object's commands, and its end ends the
    // message loop; null: none, as before either goes.
    void SetMainFrame(Frame* frame);
    HWND MainWindow() const;

private:
    // Through PreTranslate, or translated and dispatched.
    void Dispatch(MSG& message);
    Frame* m_mainFrame = nullptr;
};

// The program's entry: runs InitInstance, which puts the main window on the
// screen, then initialises COM and the common controls, and runs the
// application's message loop.
int RunApplication(Application& app);

// Announces that start-up has reached `step`, as debug output that begins
// with kStartupStepPrefix, when the environment names kStartupStepsVariable:
// the start-up benchmark sets it and listens. Otherwise it does nothing.
inline constexpr char kStartupStepPrefix[] = "dravix-startup: ";
inline constexpr wchar_t kStartupStepsVariable[] = L"DRAVIX_STARTUP_STEPS";
void MarkStartupStep(const char* step);

} // namespace fw
