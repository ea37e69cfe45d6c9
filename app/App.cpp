#include "app/App.h"

#include "app/MainFrame.h"
#include "app/WebAddresses.h"
#include "controls/AboutDlg.h"
#include "controls/DlgProgress.h"
#include "framework/Prompts.h"
#include "framework/Shell.h"
#include "repair/RepairJob.h"
#include "repair/SourceView.h"
#include "res/resource.h"
#include "save/SaveOptionView.h"

#include <shobjidl.h>

// clang-format off
const fw::MessageTable<CDravix_Video_RecoveryApp> CDravix_Video_RecoveryApp::kMessages = {
    fw::msg::Command<ID_FILE_OPEN, &CDravix_Video_RecoveryApp::OnAddFile>(),
    fw::msg::Command<ID_FILE_REPAIR, &CDravix_Video_RecoveryApp::OnRepair>(),
    fw::msg::Command<ID_FILE_SAVE_OUTPUT, &CDravix_Video_RecoveryApp::OnSaveCommand>(),
    // Ctrl+S, as the menu shows beside Save.
    fw::msg::Command<ID_FILE_SAVE, &CDravix_Video_RecoveryApp::OnSaveCommand>(),
    fw::msg::Command<ID_PAGE_BACK, &CDravix_Video_RecoveryApp::OnBack>(),
    fw::msg::Command<ID_PAGE_PREVIEW, &CDravix_Video_RecoveryApp::OnPreview>(),
    fw::msg::Command<ID_HELP_HOW_TO_USE, &CDravix_Video_RecoveryApp::OnHowToUse>(),
    fw::msg::Command<ID_APP_ABOUT, &CDravix_Video_RecoveryApp::OnAppAbout>(),
};
// clang-format on

CDravix_Video_RecoveryApp::CDravix_Video_RecoveryApp(const CSingleInstanceGuard* guard,
                                                     fw::PicturePrefetch* pictures)
    : m_pGuard(guard), m_pPictures(pictures) {
    SetCurrentProcessExplicitAppUserModelID(L"Dravix_Video_Recovery.AppID.NoVersion");
}

CDravix_Video_RecoveryApp::~CDravix_Video_RecoveryApp() {
    // The frame goes first: its pages are its children. It is no longer the
    // main window then, so its end posts no quit message that a later message
    // loop of this thread would take for its own.
    SetMainFrame(nullptr);
    m_frame.reset();
}

bool CDravix_Video_RecoveryApp::InitInstance() {
    m_strProfileName = kAppName;
    m_strRegistryKey = kAppName;

    if (m_pGuard && m_pGuard->IsAnotherInstanceRunning()) {
        fw::ShowMessage(L"Another instance of the application is already running.",
                        MB_OK | MB_ICONINFORMATION);
        return false;
    }
    m_workflow.m_bStopProcess = false;
    // Copies of videos that a crash or a power cut left behind.
    RemoveLeftoverTemporaryFiles(GetWorkingDirectory());
    m_recentFiles.Load(Store());
    fw::MarkStartupStep("settings");
    return CreateWorkspace(SW_SHOW);
}

ProfileStore CDravix_Video_RecoveryApp::Store() const {
    ProfileStore store;
    if (!m_strRegistryKey.empty())
        store.registryKey = m_strRegistryKey;
    store.profileName = m_strProfileName;
    return store;
}

int CDravix_Video_RecoveryApp::ExitInstance() {
    m_recentFiles.Save(Store());
    return 0;
}

bool CDravix_Video_RecoveryApp::CreateWorkspace(int showCommand) {
    m_frame = std::make_unique<CMainFrame>(m_workflow);
    if (!m_frame->LoadFrame())
        return false;
    SetMainFrame(m_frame.get());
    fw::MarkStartupStep("frame");

    // The source page is the frame's first pane.
    m_sourceView = std::make_unique<CDravix_Video_RecoveryView>(m_pPictures);
    if (!m_sourceView->CreateView(m_frame->Handle(), fw::kFirstPaneId, WS_CHILD | WS_BORDER,
                                  RECT{}))
        return false;
    fw::MarkStartupStep("page");
    m_frame->SetActiveView(m_sourceView.get());
    m_workflow.m_bSourcePageActive = 1;
    m_frame->RecalcLayout();
    m_frame->Show(showCommand);
    fw::MarkStartupStep("shown");
    UpdateWindow(m_frame->Handle());
    fw::MarkStartupStep("painted");

    // The save page waits beside it with an empty rectangle, and without its
    // controls and pictures, until first shown.
    m_saveView = std::make_unique<CSaveOptionView>();
    m_saveView->CreateView(m_frame->Handle(), ID_SECOND_PANE, WS_CHILD | WS_BORDER, RECT{});

    m_frame->CenterOnScreen();
    // The page takes the keys, so that the context-menu key and Shift+F10 work at once.
    m_sourceView->TakeFocus();
    return true;
}

fw::View* CDravix_Video_RecoveryApp::Page(int page) const {
    if (page == 0)
        return m_sourceView.get();
    return page == 1 ? m_saveView.get() : nullptr;
}

fw::View* CDravix_Video_RecoveryApp::ShowPage(int page) {
    fw::View* target = Page(page);
    fw::View* active = m_frame ? m_frame->ActiveView() : nullptr;
    if (!active || !target)
        return nullptr;
    m_workflow.m_bSourcePageActive = page == 0 ? 1 : 0;
    if (target == active)
        return active;
    if (target == m_saveView.get())
        m_saveView->CreateControls();
    // The page about to be shown takes the first-pane id, which the layout fills.
    const int activeId = active->Id();
    active->SetId(target->Id());
    target->SetId(activeId);
    active->Show(SW_HIDE);
    target->Show(SW_SHOW);
    m_frame->SetActiveView(target);
    m_frame->RecalcLayout();
    target->Invalidate(true);
    // Under a dialog (the Stop of a repair) the keys stay with the dialog; the
    // frame hands them to the page when it is active again.
    if (IsWindowEnabled(m_frame->Handle()))
        target->TakeFocus();
    return active;
}

fw::JobOutcome CDravix_Video_RecoveryApp::RunJob(CDlgProgress& dialog) {
    // The frame holds close requests and the session's end off meanwhile.
    struct Running {
        CMainFrame& frame;
        ~Running() { frame.SetRunningJob(nullptr); }
    } running{*m_frame};
    m_frame->SetRunningJob(&dialog);
    return dialog.DoModal(MainWindow());
}

void CDravix_Video_RecoveryApp::OnHowToUse() {
    fw::OpenLink(kHowToUseUrl, SW_SHOWMAXIMIZED);
}

void CDravix_Video_RecoveryApp::OnAppAbout() {
    CAboutDlg dlg(kMakerHomeUrl);
    dlg.DoModal(MainWindow());
}
