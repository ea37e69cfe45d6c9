#include "app/MainFrame.h"

#include "app/App.h"
#include "app/WebAddresses.h"
#include "controls/Controls.h"
#include "framework/Prompts.h"
#include "res/resource.h"

#include <shellapi.h>

fw::StatusBar* g_pStatusBar = nullptr;

namespace {
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
}

// clang-format off
constexpr fw::MessageEntry<CMainFrame> CMainFrame::kMessages[] = {
    fw::msg::Create<&CMainFrame::OnCreate>(),
    fw::msg::Close<&CMainFrame::OnClose>(),
    fw::msg::UpdateCommand<ID_FILE_OPEN, &CMainFrame::OnUpdateSourcePageCommand>(),
    fw::msg::UpdateCommand<ID_FILE_REPAIR, &CMainFrame::OnUpdateSourcePageCommand>(),
    fw::msg::UpdateCommand<ID_FILE_SAVE_OUTPUT, &CMainFrame::OnUpdateSaveCommand>(),
    fw::msg::Command<ID_VISIT_HOMEPAGE, &CMainFrame::OnVisitHomepage>(),
};
// clang-format on

bool CMainFrame::ProcessOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result);
}

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
    GetApp().m_bSourcePageActive = 1;
    CenterOnScreen();
    fw::VisualManager::SetDefaultManager(std::make_unique<CColorThemeManager>());
    if (!m_wndMenuBar.Create(m_hWnd, IDR_MAINFRAME))
        return -1;
    if (!m_wndStatusBar.Create(m_hWnd, ID_STATUS_BAR))
        return -1;
    CreateStatusBarElements();
    g_pStatusBar = &m_wndStatusBar;
    SetStatusBarWindow(m_wndStatusBar.Handle());
    RecalcLayout();
    return 0;
}

BOOL CMainFrame::CreateStatusBarElements() {
    if (!m_wndStatusBar.Handle())
        return FALSE;
    m_wndStatusBar.AddLabel(L"Visit:");
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLink(L"Software Homepage", ID_VISIT_HOMEPAGE);
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLabel(std::wstring(36, L' '));
    m_wndStatusBar.AddLabel(std::wstring(27, L' '));
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddSeparator();
    m_wndStatusBar.AddLabel(L" ");
    m_wndStatusBar.AddSeparator();
    m_statusFont.Reset(
        CreateFontW(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, L"Open Sans"));
    m_wndStatusBar.SetFont(m_statusFont.Get(), true);
    return TRUE;
}

void CMainFrame::OnClose() {
    if (fw::ShowMessage(L" Are you sure,close the application?", MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        Destroy();
}

void CMainFrame::OnUpdateSourcePageCommand(fw::CommandUI& ui) {
    ui.Enable(GetApp().m_bSourcePageActive == 1);
}

void CMainFrame::OnUpdateSaveCommand(fw::CommandUI& ui) {
    ui.Enable(GetApp().m_bSourcePageActive == 0);
}

void CMainFrame::OnVisitHomepage() {
    ShellExecuteW(nullptr, L"open", kHomePageUrl, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
