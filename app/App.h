// The application object, its single-instance guard and its document.
#pragma once

#include "framework/Application.h"
#include "framework/Frame.h"
#include "settings/ProfileStore.h"

#include <atomic>
#include <memory>
#include <string>

class CDlgProgress;
class CSaveOptionView;
class CDravix_Video_RecoveryView;
class CMainFrame;

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

    HANDLE m_hMutex = nullptr;
    DWORD m_dwLastError = 0;
};

// The program's one document; it holds no data.
class CDravix_Video_RecoveryDoc : public fw::Document {};

class CDravix_Video_RecoveryApp : public fw::Application {
public:
    static constexpr const wchar_t* kAppName = L"Dravix Video Repair";

    // The guard is consulted by InitInstance; without one no other copy is assumed.
    explicit CDravix_Video_RecoveryApp(const CSingleInstanceGuard* guard = nullptr);
    ~CDravix_Video_RecoveryApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Creates the document, the frame and both pages, and shows the frame.
    bool CreateWorkspace(int showCommand = SW_SHOW);
    // Makes page 0 (source) or 1 (save) the visible, active view; returns the
    // view that was active before, or null when there was none.
    fw::View* ShowPage(int page);
    CMainFrame* GetMainFrame() const { return m_frame.get(); }

    // Commands
    void OnAddFile();
    void OnRepair();
    void OnSaveCommand();
    void OnHowToUse();
    void OnAppAbout();

    // Runs on the progress dialog's worker thread.
    void RepairJob();

    // Profile settings, kept in the registry below the registry key.
    UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
    BOOL WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value);
    std::wstring GetProfileString(const wchar_t* section, const wchar_t* entry,
                                  const wchar_t* defaultValue = nullptr);
    BOOL WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value);
    BOOL GetProfileBinary(const wchar_t* section, const wchar_t* entry, BYTE** data, UINT* bytes);
    BOOL WriteProfileBinary(const wchar_t* section, const wchar_t* entry, const BYTE* data,
                            UINT bytes);

    // Shared workflow state
    int m_bSourcePageActive = 0;
    std::wstring m_strTempOutputFile;
    CDlgProgress* m_pProgressDlg = nullptr;
    std::atomic<bool> m_bStopProcess{false};
    std::wstring m_strSourceFile;
    std::wstring m_strSourceExt;
    CSaveOptionView* m_pSaveView = nullptr;
    CDravix_Video_RecoveryView* m_pSourceView = nullptr;
    fw::View* m_pViews[2] = {nullptr, nullptr};

    // Where the profile settings live; an empty registry key selects the INI file.
    std::wstring m_strRegistryKey;
    std::wstring m_strProfileName;
    // The framework's recent-file list, loaded at start-up and saved at exit.
    CRecentFileList m_recentFiles;

private:
    static const fw::MessageEntry<CDravix_Video_RecoveryApp> kMessages[];

    const CSingleInstanceGuard* m_pGuard;
    std::unique_ptr<CDravix_Video_RecoveryDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CDravix_Video_RecoveryView> m_sourceView;
    std::unique_ptr<CSaveOptionView> m_saveView;
};

// The running application object.
CDravix_Video_RecoveryApp& GetApp();
