// The repair workflow's working parts: the modal progress dialog that runs a
// job on its worker thread, the repair job, and the engine executables that
// sit beside the program.
#pragma once

#include "framework/Gdi.h"
#include "framework/Job.h"
#include "framework/Window.h"

#include <atomic>
#include <functional>
#include <string>

// A modal dialog that runs one job on a worker thread of its own, moves its
// bar as the job reports, and ends when the job has returned: the worker is
// joined before the dialog goes away, whatever closes it.
class CDlgProgress : public fw::Mapped<CDlgProgress, fw::Dialog>, private fw::Progress {
public:
    struct Options {
        std::wstring label = {};
        // Shows the Stop button, and a close asks the Stop question.
        bool stoppable = false;
        // Cleared when the dialog opens, set by a confirmed Stop; the job's
        // stop token reads it. The dialog keeps a flag of its own without one.
        std::atomic<bool>* stopFlag = nullptr;
        fw::Job job = {};
        // A confirmed Stop, on the user-interface thread, the job still running.
        std::function<void()> onStop = {};
        // The job has returned; the dialog is still up, so what is shown
        // here is shown over it, and the dialog closes afterwards.
        std::function<void(const fw::JobOutcome&)> onEnded = {};
        // Runs on the worker once its end message has been handled, just
        // before the thread ends: tests hold the worker there.
        std::function<void()> onWorkerEnding = {};
    };

    explicit CDlgProgress(Options options);
    ~CDlgProgress();

    // Shows the dialog and runs the job; returns what the job returned (a
    // failure with ERROR_INTERNAL_ERROR when the job threw, one with the
    // system's error when no worker could start).
    fw::JobOutcome DoModal(HWND owner);

    // Stops the job as a confirmed Stop would, without asking, and waits up
    // to timeoutMs for it to return; true when it has.
    bool StopAndWait(DWORD timeoutMs);
    bool IsRunning() const { return m_worker && !m_bJobEnded; }
    bool StopRequested() const { return m_stop->load(); }

    // The Stop button: a flat white push button with a hand cursor and a tooltip.
    class CStopButton : public fw::Mapped<CStopButton, fw::Control> {
    public:
        // Binds the button, makes it owner-drawn and gives it its tooltip.
        bool Attach(HWND button);
        HWND Tooltip() const { return m_tooltip; }
        void DrawItem(const DRAWITEMSTRUCT& item);

    private:
        friend Mapped;
        LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
        static const fw::MessageTable<CStopButton> kMessages;
        HWND m_tooltip = nullptr;
    };

    fw::WindowRef m_progress;      // control 1013
    CStopButton m_btnStop;         // control 1014
    fw::WindowRef m_staticMessage; // control 1015

    // Asks whether to stop the repair; Yes stops it.
    void OnBnClickedStop();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    friend Mapped;
    static DWORD WINAPI WorkerThreadProc(LPVOID parameter);
    // Progress, from the worker: the position is sent to the bar, which is
    // then repainted.
    void Set(int percent) override;
    void RequestStop();
    void CancelBlockedIo();
    void JoinWorker();
    void OnClose();
    void OnTimer(UINT_PTR id);
    LRESULT OnJobEnded(WPARAM, LPARAM);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    // Escape, Enter, Alt+F4 or a close by the system while the job runs.
    void OnUserClose();

    static const fw::MessageTable<CDlgProgress> kMessages;

    Options m_options;
    std::atomic<bool> m_ownStop{false};
    std::atomic<bool>* m_stop;
    fw::UniqueHandle m_worker;
    // Failed until the job says otherwise; written by the worker before its
    // end message.
    fw::JobOutcome m_outcome = fw::JobOutcome::Failed({}, ERROR_GEN_FAILURE);
    bool m_bJobEnded = false; // the worker's end message has arrived
    bool m_bEnding = false;   // stopped by StopAndWait: nothing more is shown
    int m_nOpenQuestions = 0; // Stop questions being asked right now
    fw::Brush m_brushWhite;
};

// Full path of an engine executable in the program's own folder.
std::wstring GetEnginePath(const wchar_t* engineName);
// An engine counts as present when anything exists at its path.
bool EngineExists(const std::wstring& path);
// The message for a missing engine: its path and the installation hint.
std::wstring MissingEngineMessage(const std::wstring& path);

// The folder the repair job makes its temporary file in: the program's own,
// with a trailing backslash (made when missing).
std::wstring GetWorkingDirectory();
// A new GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring CreateGuidString();
// The temporary file of a repair of a source with this extension (none: the
// GUID alone).
std::wstring NewTemporaryPath(const std::wstring& extension);
// The attributes that mark a repair's temporary file: hidden and system
// together, which no user's video in the program's folder has, and which
// the file systems keep, under Wine too.
constexpr DWORD kTemporaryFileMark = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Removes temporary files that earlier runs left in `folder` (a crash, a
// power cut): files that carry the mark, are named exactly as the repair
// names them, are neither read-only nor a link, and that no process has open.
// Nothing else is touched. Returns how many went.
int RemoveLeftoverTemporaryFiles(const std::wstring& folder);

// The file operations of the repair job. The job uses the real ones; tests
// hand in their own where a disk fills up or a network stops answering.
class RepairFileIo {
public:
    virtual ~RepairFileIo() = default;
    virtual HANDLE OpenSource(const std::wstring& path);
    // Deleted when closed, so it cannot outlive the program.
    virtual HANDLE CreateTemporary(const std::wstring& path);
    virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read);
    virtual bool Write(HANDLE file, const void* data, DWORD size, DWORD* written);
};

struct RepairInputs {
    std::wstring source;
    std::wstring temporary;
    RepairFileIo* io = nullptr; // null: the real files
};

// Copies the source in 512-byte chunks into the temporary file, which is gone
// when the job returns; reports 10, 40 and 100. Fails with the source's path
// when it cannot be read, with the temporary file's when that cannot be made
// or written.
fw::JobOutcome RepairJob(const RepairInputs& inputs, fw::Progress& progress,
                         const fw::StopToken& stop);

// Whether a chosen path can be a source: an existing file on a disk, not a
// device (NUL, CON, COM1, \\.\...), a pipe however spelled, a stream of a
// file (clip.mp4:extra) or a folder.
enum class SourceCheck { Ok, Missing, NotAFile };
SourceCheck CheckSource(const std::wstring& path);
