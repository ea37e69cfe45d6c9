// The modal progress dialog that runs a repair or a save job on a worker
// thread, and the engine executables that sit beside the program.
#pragma once

#include "framework/Gdi.h"
#include "framework/Window.h"

#include <functional>
#include <string>

class CDlgProgress : public fw::Dialog {
public:
    CDlgProgress();

    // Exactly one is set by the caller before DoModal.
    bool m_bRepair = false;
    bool m_bSave = false;

    // Moves the bar to a percentage: the position is sent to the bar, which is
    // then repainted. Called by the jobs on the worker thread.
    void SetProgress(int percent);

    static DWORD WINAPI WorkerThreadProc(LPVOID parameter);

    // The Stop button: a flat white push button with a hand cursor and a tooltip.
    class CStopButton : public fw::Control {
    public:
        // Binds the button, makes it owner-drawn and gives it its tooltip.
        bool Attach(HWND button);
        bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
        HWND Tooltip() const { return m_tooltip; }
        void DrawItem(const DRAWITEMSTRUCT& item);

    private:
        LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
        static const fw::MessageEntry<CStopButton> kMessages[];
        HWND m_tooltip = nullptr;
    };

    fw::WindowRef m_progress;      // control 1013
    CStopButton m_btnStop;         // control 1014
    fw::WindowRef m_staticMessage; // control 1015

    // Asks whether to stop the repair; Yes stops it and returns to the source page.
    void OnBnClickedStop();

    // Set by a job that could not do its work; read by the caller after DoModal.
    bool m_bJobFailed = false;
    // False when no worker could be started: the dialog then closed at once
    // and told the user.
    bool m_bWorkerStarted = false;
    // The worker's close request has arrived: its job has returned.
    bool m_bJobEnded = false;

    // Seams for tests: a job run in place of the mode's job, and the thread
    // start (a null handle means the thread could not be started).
    std::function<void()> m_testJob;
    static HANDLE (*s_pfnStartWorker)(CDlgProgress* dialog);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnClose();
    LRESULT OnJobEnded(WPARAM, LPARAM);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    // Escape, Enter, Alt+F4 or a close by the system while the job runs.
    void OnUserClose();

    static const fw::MessageEntry<CDlgProgress> kMessages[];

    fw::Brush m_brushWhite;
    int m_nOpenQuestions = 0; // Stop questions being asked right now
};

// Full path of an engine executable in the program's own folder.
std::wstring GetEnginePath(const wchar_t* engineName);
// An engine counts as present when anything exists at its path.
bool EngineExists(const std::wstring& path);
// The message for a missing engine: its path and the installation hint.
std::wstring MissingEngineMessage(const std::wstring& path);

// The repair job's helpers.
// Fills the buffer with the program's folder and a trailing backslash (made
// when missing) and returns its length; 0 and an empty text when the folder
// is longer than 260 characters or does not fit.
size_t GetWorkingDirectory(wchar_t* buffer, size_t capacity);
// A new GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring CreateGuidString();
// Reads one chunk of the repair job's source, as ReadFile does; tests put a
// failing or waiting reader here.
using ChunkReader = BOOL (*)(HANDLE file, void* buffer, DWORD size, DWORD* read);
extern ChunkReader g_pfnReadChunk;
