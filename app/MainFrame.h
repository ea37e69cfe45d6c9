// The main window: menu bar, status bar and the current page between them.
#pragma once

#include "app/Workflow.h"
#include "controls/Controls.h"
#include "framework/Frame.h"

class CDlgProgress;

class CMainFrame : public fw::Mapped<CMainFrame, fw::Frame> {
public:
    // The frame's outer size at 96 DPI; at other DPIs it scales with them.
    static constexpr int kWidth = 840;
    static constexpr int kHeight = 520;

    // The frame enables its page commands by the workflow's current page.
    explicit CMainFrame(const Workflow& workflow) : m_workflow(workflow) {}

    // Creates the frame window (hidden) with its menu, accelerators and bars.
    bool LoadFrame();
    // The progress dialog whose job runs now, or null. While one runs, the
    // frame holds the session's end off (its dialog keeps the frame disabled,
    // so no close request runs meanwhile either).
    void SetRunningJob(CDlgProgress* dialog) { m_pRunningJob = dialog; }
    // Open and Repair run on the source page, Save on the save page; the
    // other commands whenever the frame or the application handles them.
    bool CanRun(UINT id) const override;

    fw::MenuBar m_wndMenuBar;
    CStatusBar m_wndStatusBar;

private:
    friend Mapped;
    int OnCreate(const CREATESTRUCTW& cs);
    void OnClose();
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    void OnAppExit();
    void OnVisitHomepage();
    BOOL CreateStatusBarElements();
    // The status bar's font, made for the frame's DPI.
    void SetStatusFont();
    // The window's small and large icons, at the frame's DPI.
    void SetIcons();
    void OnDpiChanged(int dpi);

    static const fw::MessageTable<CMainFrame> kMessages;

    const Workflow& m_workflow;
    CDlgProgress* m_pRunningJob = nullptr;
    fw::Font m_statusFont;
    fw::Icon m_icons[2]; // small, large
};
