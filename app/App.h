// The application object, its single-instance guard and the wizard's state.
#pragma once

#include "app/Workflow.h"
#include "framework/Application.h"
#include "framework/Frame.h"
#include "framework/Job.h"
#include "settings/ProfileStore.h"

#include <memory>
#include <string>

namespace fw {
class PicturePrefetch;
}
class CDlgProgress;
class CSaveOptionView;
class CDravix_Video_RecoveryView;
class CMainFrame;
class RepairFileIo;

// Refuses a second copy of the program anywhere on the machine: the named
// mutex's existence alone is the signal; it is never waited on or released.
class CSingleInstanceGuard {
public:
    static constexpr const wchar_t* kMutexName =
        L"Global\\{719967F0-DCC6-49b5-9C61-DE91175C1786-Dravix-Video-Repair}";

    explicit CSingleInstanceGuard(const wchar_t* name = kMutexName);
    CSingleInstanceGuard(const CSingleInstanceGuard&) = delete;
    CSingleInstanceGuard& operator=(const CSingleInstanceGuard&) = delete;
    ~CSingleInstanceGuard();

    bool IsAnotherInstanceRunning() const { return m_dwLastError == ERROR_ALREADY_EXISTS; }

private:
    HANDLE m_hMutex = nullptr;
    DWORD m_dwLastError = 0;
};

class CDravix_Video_RecoveryApp : public fw::Mapped<CDravix_Video_RecoveryApp, fw::Application> {
public:
    static constexpr const wchar_t* kAppName = L"Dravix Video Repair";

    // The guard is consulted by InitInstance; without one no other copy is
    // assumed. The first page's pictures come from `pictures` when given.
    explicit CDravix_Video_RecoveryApp(const CSingleInstanceGuard* guard = nullptr,
                                       fw::PicturePrefetch* pictures = nullptr);
    ~CDravix_Video_RecoveryApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // Creates the frame and both pages, and shows the frame.
    bool CreateWorkspace(int showCommand = SW_SHOW);
    // Makes page 0 (source) or 1 (save) the current page: the visible,
    // active view, and the one the frame's commands follow. Returns the view
    // that was active before, or null when there was none.
    fw::View* ShowPage(int page);

    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    fw::View* Page(int page) const;
    CDravix_Video_RecoveryView* SourcePage() const { return m_sourceView.get(); }
    CSaveOptionView* SavePage() const { return m_saveView.get(); }
    Workflow& GetWorkflow() { return m_workflow; }
    const Workflow& GetWorkflow() const { return m_workflow; }
    // The repair's file operations; null (the default) for the real files.
    void SetRepairFileIo(RepairFileIo* io) { m_pRepairIo = io; }

    // Commands
    void OnAddFile();
    void OnRepair();
    void OnSaveCommand();
    void OnBack();
    void OnPreview();
    void OnHowToUse();
    void OnAppAbout();

private:
    friend Mapped;
    static const fw::MessageTable<CDravix_Video_RecoveryApp> kMessages;

    // Where the profile settings live: HKLM\Software\<registry key>\<profile name>.
    ProfileStore Store() const;
    // Runs the dialog's job over the frame and returns its outcome.
    fw::JobOutcome RunJob(CDlgProgress& dialog);

    // Where the profile settings live; an empty registry key selects the INI file.
    std::wstring m_strRegistryKey;
    std::wstring m_strProfileName;
    // The recent-file list, loaded at start-up and saved at exit.
    CRecentFileList m_recentFiles;
    const CSingleInstanceGuard* m_pGuard;
    fw::PicturePrefetch* m_pPictures;
    Workflow m_workflow;
    RepairFileIo* m_pRepairIo = nullptr;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CDravix_Video_RecoveryView> m_sourceView;
    std::unique_ptr<CSaveOptionView> m_saveView;
};
