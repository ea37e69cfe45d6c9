// The main window: menu bar, status bar and the current page between them.
#pragma once

#include "framework/Frame.h"

class CMainFrame : public fw::Frame {
public:
    static constexpr int kWidth = 840;
    static constexpr int kHeight = 520;

    // Creates the frame window (hidden) with its menu, accelerators and bars.
    bool LoadFrame();

    fw::MenuBar m_wndMenuBar;
    fw::StatusBar m_wndStatusBar;

protected:
    bool ProcessOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int OnCreate(const CREATESTRUCTW& cs);
    void OnClose();
    void OnUpdateSourcePageCommand(fw::CommandUI& ui);
    void OnUpdateSaveCommand(fw::CommandUI& ui);
    void OnVisitHomepage();
    BOOL CreateStatusBarElements();

    static const fw::MessageEntry<CMainFrame> kMessages[];

    fw::Font m_statusFont;
};

// The main frame's status bar, which the colour theme paints in its own colours.
extern fw::StatusBar* g_pStatusBar;
