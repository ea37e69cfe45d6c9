#include "app/MainFrame.h"

#include "app/App.h"
#include "app/WebAddresses.h"
#include "controls/Controls.h"
#include "controls/DlgProgress.h"
#include "framework/Prompts.h"
#include "framework/Shell.h"
#include "res/resource.h"

#include <utility>

namespace {
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// How long the end of the session waits for a stopped job to let go of its files.
constexpr DWORD kEndSessionWaitMs = 5000;
} // namespace

// clang-format off
const fw::MessageTable<CMainFrame> CMainFrame::kMessages = {
    fw::msg::Create<&CMainFrame::OnCreate>(),
    fw::msg::Close<&CMainFrame::OnClose>(),
    fw::msg::Raw<WM_QUERYENDSESSION, &CMainFrame::OnQueryEndSession>(),
    fw::msg::Raw<WM_ENDSESSION, &CMainFrame::OnEndSession>(),
    fw::msg::Command<ID_APP_EXIT, &CMainFrame::OnAppExit>(),
    fw::msg::Command<ID_VISIT_HOMEPAGE, &CMainFrame::OnVisitHomepage>(),
    fw::msg::DpiChanged<&CMainFrame::OnDpiChanged>(),
};
// clang-format on

bool CMainFrame::LoadFrame() {
    // No class style, cursor or background; the application's icon.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    const wchar_t* className = RegisterClassOnce(L"Dravix.MainFrame", 0, icon, nullptr, nullptr);
    // The frame can neither be resized nor maximised, and its title never
    // carries a document name.
    if (!Create({.rect = {kWidth, kHeight, kWidth + kWidth, kHeight + kHeight},
                 .style = kFrameStyle | WS_CLIPCHILDREN,
                 .text = CDravix_Video_RecoveryApp::kAppName,
                 .className = className}))
        return false;
    LoadAcceleratorTable(IDR_MAINFRAME);
    return true;
}

int CMainFrame::OnCreate(const CREATESTRUCTW&) {
    // The size is given for 96 DPI; the screen's may be larger.
    SetWindowPos(m_hWnd, nullptr, 0, 0, Scaled(kWidth), Scaled(kHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetIcons();
    CenterOnScreen();
    if (!m_wndMenuBar.Create(m_hWnd, IDR_MAINFRAME, CColorThemeManager::kOtherBars))
        return -1;
    if (!m_wndStatusBar.Create(m_hWnd, ID_STATUS_BAR, CColorThemeManager::kStatusBar))
        return -1;
    CreateStatusBarElements();
    SetStatusBar(m_wndStatusBar.Handle(), CStatusBar::kHeight);
    RecalcLayout();
    return 0;
}

BOOL CMainFrame::CreateStatusBarElements() {
    if (!m_wndStatusBar.Handle())
        return FALSE;
    m_wndStatusBar.AddLabel(L"Visit:");
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLink(L"Software Homepage", ID_VISIT_HOMEPAGE, kHomePageUrl);
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLabel(std::wstring(36, L' '));
    m_wndStatusBar.AddLabel(std::wstring(27, L' '));
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLabel(L" ");
    m_wndStatusBar.AddSeparator();
    SetStatusFont();
    return TRUE;
}

void CMainFrame::SetStatusFont() {
    fw::Font font(CreateFontW(Scaled(15), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0,
                              L"Open Sans"));
    m_wndStatusBar.SetFont(font.Get(), true);
    m_statusFont = std::move(font);
}

void CMainFrame::SetIcons() {
    // The caption's and the task bar's sizes at the frame's scale, each drawn for its size.
    for (const auto& [which, size] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
        fw::Icon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                    Scaled(size), Scaled(size), 0)));
        if (!icon)
            continue;
        Send(WM_SETICON, which, reinterpret_cast<LPARAM>(icon.Get()));
        m_icons[which == ICON_BIG] = std::move(icon);
    }
}

void CMainFrame::OnDpiChanged(int) {
    SetStatusFont();
    SetIcons();
}

void CMainFrame::OnClose() {
    // A close request that reaches the frame while a dialog, a chooser or a
    // box of its own is up (posted by another program, or the system's)
    // would pull the window from under it: it is not even asked.
    if (!IsWindowEnabled(m_hWnd))
        return;
    if (fw::ShowMessage(L" Are you sure,close the application?", MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        Destroy();
}

LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM) {
    // The same answer to the end of the session and to an installer that
    // asks, through the Restart Manager (ENDSESSION_CLOSEAPP), to close the
    // program: yes, unless a job runs.
    return m_pRunningJob ? FALSE : TRUE;
}

LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    if (!ending)
        return 0;
    // The session ends all the same: a running job is stopped, and its
    // temporary file goes, before the system ends the process.
    if (m_pRunningJob) {
        m_pRunningJob->StopAndWait(kEndSessionWaitMs);
        return 0;
    }
    // An idle program closes without the close question, as an installer
    // that replaces it waits for that. Under a box or a chooser of its own
    // the quit message ends their loops first, then the program's.
    if (IsWindowEnabled(m_hWnd))
        Destroy();
    else
        PostQuitMessage(0);
    return 0;
}

bool CMainFrame::CanRun(UINT id) const {
    switch (id) {
    case ID_FILE_OPEN:
    case ID_FILE_REPAIR:
        return m_workflow.m_bSourcePageActive == 1;
    case ID_FILE_SAVE_OUTPUT:
    case ID_FILE_SAVE:
        return m_workflow.m_bSourcePageActive == 0;
    default:
        return Mapped::CanRun(id);
    }
}

void CMainFrame::OnAppExit() {
    // As the close box: the question first.
    Send(WM_CLOSE);
}

void CMainFrame::OnVisitHomepage() {
    fw::OpenLink(kHomePageUrl, SW_SHOWMAXIMIZED);
}
