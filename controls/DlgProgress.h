// The modal progress dialog that runs a job on a worker thread of its own.
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

    // `stop` is cleared when the dialog opens and set by a confirmed Stop;
    // the job's stop token reads it.
    CDlgProgress(std::atomic<bool>& stop, Options options);
    ~CDlgProgress();

    // Shows the dialog and runs the job; returns what the job returned (a
    // failure with ERROR_INTERNAL_ERROR when the job threw, one with the
    // system's error when no worker could start).
    fw::JobOutcome DoModal(HWND owner);

    // Stops the job as a confirmed Stop would, without asking, and waits up
    // to timeoutMs for it to return; true when it has.
    bool StopAndWait(DWORD timeoutMs);
    bool IsRunning() const { return m_worker && !m_bJobEnded; }
    bool StopRequested() const { return m_stop.load(); }

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

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    friend Mapped;

    // Asks whether to stop the repair; Yes stops it.
    void OnBnClickedStop();
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

    fw::WindowRef m_progress;
    CStopButton m_btnStop;
    fw::WindowRef m_staticMessage;
    Options m_options;
    std::atomic<bool>& m_stop;
    fw::UniqueHandle m_worker;
    // Failed until the job says otherwise; written by the worker before its
    // end message.
    fw::JobOutcome m_outcome = fw::JobOutcome::Failed({}, ERROR_GEN_FAILURE);
    bool m_bJobEnded = false; // the worker's end message has arrived
    bool m_bEnding = false;   // stopped by StopAndWait: nothing more is shown
    int m_nOpenQuestions = 0; // Stop questions being asked right now
    fw::Brush m_brushWhite;
};
