// The whole user interface in the test's own process: the application
// object with its frame and both pages, as start-up leaves them.
#pragma once

#include "app/App.h"
#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace apptest {

// Handles what is waiting in this thread's queue; true when a WM_QUIT was among it.
inline bool Pump() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return quit;
}

class Workspace : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.CreateWorkspace(SW_SHOW));
        frame = app.GetMainFrame();
        Pump();
    }

    HWND Frame() const { return frame->Handle(); }
    // Moves to a page the way the program's callers do: flag first, then the switch.
    fw::View* GoTo(int page) {
        app.m_bSourcePageActive = page == 0 ? 1 : 0;
        return app.ShowPage(page);
    }
    void Command(UINT id, WORD code = 0) {
        SendMessageW(Frame(), WM_COMMAND, MAKEWPARAM(id, code), 0);
    }

    CDravix_Video_RecoveryApp app;
    CMainFrame* frame = nullptr;
};

} // namespace apptest
