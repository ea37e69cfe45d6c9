#include "controls/DlgProgress.h"

#include "framework/Accessible.h"
#include "framework/Prompts.h"
#include "res/resource.h"

namespace {
// The worker's end message. It is a message of our own, not WM_CLOSE, so
// that a close from the keyboard or the system can never pass for it: only
// the worker knows when the job has let go of the dialog.
constexpr UINT kJobEndedMessage = WM_APP + 1;
// While a stop is pending, blocked reads and writes are cancelled again and
// again: a cancel that comes just before the worker enters its next call
// would otherwise be lost.
constexpr UINT_PTR kCancelTimer = 1;
constexpr UINT kCancelIntervalMs = 200;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Waits for a handle while handling the messages other threads send to this
// one: the worker sends to the dialog's bar, so a plain wait could deadlock.
bool WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left =
            timeoutMs == INFINITE ? INFINITE : (now >= deadline ? 0 : DWORD(deadline - now));
        const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
} // namespace

// clang-format off
const fw::MessageTable<CDlgProgress> CDlgProgress::kMessages = {
    fw::msg::Command<IDC_STOP, &CDlgProgress::OnBnClickedStop>(),
    fw::msg::Close<&CDlgProgress::OnClose>(),
    fw::msg::Timer<&CDlgProgress::OnTimer>(),
    fw::msg::CtlColor<&CDlgProgress::OnCtlColor>(),
    fw::msg::Raw<kJobEndedMessage, &CDlgProgress::OnJobEnded>(),
};
// clang-format on

CDlgProgress::CDlgProgress(std::atomic<bool>& stop, Options options)
    : Mapped(IDD_PROGRESS), m_options(std::move(options)), m_stop(stop),
      m_brushWhite(CreateSolidBrush(kWhite)) {}

CDlgProgress::~CDlgProgress() {
    JoinWorker();
}

fw::JobOutcome CDlgProgress::DoModal(HWND owner) {
    if (Mapped::DoModal(owner) == -1)
        m_outcome = fw::JobOutcome::Failed({}, GetLastError());
    // The loop ends only on the worker's end message; should the dialog go
    // some other way (its owner destroyed), the job is stopped and waited for.
    JoinWorker();
    return m_outcome;
}

BOOL CDlgProgress::OnInitDialog() {
    m_progress = Item(IDC_PROGRESS_BAR);
    m_staticMessage = Item(IDC_PROGRESS_TEXT);
    m_btnStop.Attach(Item(IDC_STOP).Handle());

    m_staticMessage.SetText(L"");
    m_staticMessage.SetText(m_options.label);
    m_progress.Send(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    m_progress.Show(SW_SHOW);
    fw::SetAccessible(m_staticMessage.Handle(), {.role = ROLE_SYSTEM_STATICTEXT});
    fw::SetAccessible(m_progress.Handle(),
                      {.role = ROLE_SYSTEM_PROGRESSBAR, .nameFrom = m_staticMessage.Handle()});
    m_stop = false;
    if (!m_options.stoppable) {
        // A job that cannot be stopped shows its label only.
        m_btnStop.Show(SW_HIDE);
        m_progress.Show(SW_HIDE);
    }
    CenterOnOwner();

    // The platform would show the dialog only once its queue has been empty,
    // and a short job can end, and show its message, before that: the dialog
    // would never be seen, and the message would stand alone.
    Show(SW_SHOW);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_worker.Reset(CreateThread(nullptr, 0, &CDlgProgress::WorkerThreadProc, this, 0, nullptr));
    if (!m_worker) {
        m_outcome = fw::JobOutcome::Failed({}, GetLastError());
        m_bJobEnded = true;
        EndDialog(IDABORT);
    }
    return TRUE;
}

DWORD WINAPI CDlgProgress::WorkerThreadProc(LPVOID parameter) {
    auto* dialog = static_cast<CDlgProgress*>(parameter);
    try {
        dialog->m_outcome = dialog->m_options.job(*dialog, fw::StopToken(dialog->m_stop));
    } catch (...) {
        // The end message must go out whatever the job did.
        dialog->m_outcome = fw::JobOutcome::Failed({}, ERROR_INTERNAL_ERROR);
    }
    SendMessageW(dialog->Handle(), kJobEndedMessage, 0, 0);
    if (dialog->m_options.onWorkerEnding)
        dialog->m_options.onWorkerEnding();
    return 1;
}

void CDlgProgress::Set(int percent) {
    m_progress.Send(PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    InvalidateRect(m_progress.Handle(), nullptr, TRUE);
}

LRESULT CDlgProgress::OnJobEnded(WPARAM, LPARAM) {
    m_bJobEnded = true;
    KillTimer(m_hWnd, kCancelTimer);
    if (m_options.onEnded && !m_bEnding)
        m_options.onEnded(m_outcome);
    // A Stop question still open is answered first; its handler ends the dialog.
    if (m_nOpenQuestions == 0)
        EndDialog(IDCANCEL);
    return 0;
}

void CDlgProgress::OnBnClickedStop() {
    ++m_nOpenQuestions;
    const int answer =
        fw::ShowMessage(L"Are you sure, stop Repair?", MB_YESNO | MB_ICONINFORMATION);
    --m_nOpenQuestions;
    if (answer == IDYES) {
        RequestStop();
        if (m_options.onStop)
            m_options.onStop();
    }
    // The job may have ended while the question was open.
    if (m_bJobEnded && m_nOpenQuestions == 0)
        EndDialog(IDCANCEL);
}

void CDlgProgress::RequestStop() {
    m_stop = true;
    if (m_bJobEnded)
        return;
    // A job blocked in a read (a network share that stopped answering)
    // would only see the flag once the read returns.
    CancelBlockedIo();
    SetTimer(m_hWnd, kCancelTimer, kCancelIntervalMs, nullptr);
}

void CDlgProgress::CancelBlockedIo() {
    if (m_worker)
        CancelSynchronousIo(m_worker.Get());
}

void CDlgProgress::OnTimer(UINT_PTR id) {
    if (id == kCancelTimer && !m_bJobEnded)
        CancelBlockedIo();
}

bool CDlgProgress::StopAndWait(DWORD timeoutMs) {
    if (!IsRunning())
        return true;
    m_bEnding = true;
    RequestStop();
    return WaitHandlingSentMessages(m_worker.Get(), timeoutMs);
}

void CDlgProgress::JoinWorker() {
    if (!m_worker)
        return;
    // After its end message the worker only returns, however long the system
    // takes to let it: the job has finished, and nothing may say otherwise.
    if (m_bJobEnded) {
        WaitHandlingSentMessages(m_worker.Get(), INFINITE);
    } else if (WaitForSingleObject(m_worker.Get(), 0) == WAIT_TIMEOUT) {
        m_bEnding = true;
        m_stop = true;
        CancelBlockedIo();
        while (!WaitHandlingSentMessages(m_worker.Get(), kCancelIntervalMs))
            CancelBlockedIo();
    }
    m_worker.Reset();
}

void CDlgProgress::OnClose() {
    OnUserClose();
}

void CDlgProgress::OnOK() {
    OnUserClose();
}

void CDlgProgress::OnCancel() {
    OnUserClose();
}

void CDlgProgress::OnUserClose() {
    // The worker goes on using the dialog until its end message arrives, so
    // the modal loop may not end before. A job that can be stopped asks the
    // Stop question; one that cannot is waited for.
    if (m_bJobEnded || !m_options.stoppable || m_nOpenQuestions > 0 || StopRequested())
        return;
    OnBnClickedStop();
}

HBRUSH CDlgProgress::OnCtlColor(HDC dc, HWND, UINT kind) {
    if (kind != CTLCOLOR_DLG && kind != CTLCOLOR_STATIC && kind != CTLCOLOR_BTN)
        return nullptr;
    SetBkColor(dc, kWhite);
    return m_brushWhite.Get();
}

// CStopButton

// clang-format off
const fw::MessageTable<CDlgProgress::CStopButton> CDlgProgress::CStopButton::kMessages = {
    fw::msg::ReflectedDrawItem<&CStopButton::DrawItem>(),
    fw::msg::Raw<WM_SETCURSOR, &CStopButton::OnSetCursor>(),
};
// clang-format on

bool CDlgProgress::CStopButton::Attach(HWND button) {
    if (!fw::Control::Attach(button))
        return false;
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    SetWindowLongPtrW(button, GWL_STYLE, (style & ~LONG_PTR{BS_TYPEMASK}) | BS_OWNERDRAW);

    // The tooltip belongs to the dialog and goes with it; TTF_SUBCLASS lets it
    // watch the button's mouse messages itself.
    HWND dialog = GetParent(button);
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (m_tooltip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = const_cast<wchar_t*>(L"Stop Process");
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    fw::SetAccessible(button, {.role = ROLE_SYSTEM_PUSHBUTTON,
                               .description = L"Stop Process",
                               .defaultAction = L"Press"});
    InvalidateRect(button, nullptr, TRUE);
    return true;
}

LRESULT CDlgProgress::CStopButton::OnSetCursor(WPARAM, LPARAM) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CDlgProgress::CStopButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    fw::Brush white(CreateSolidBrush(kWhite));
    FillRect(dc, &rect, white.Get());

    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT text = rect;
    if (pressed)
        OffsetRect(&text, Scaled(1), Scaled(1));
    HFONT font = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    fw::SelectGuard select(dc,
                           font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const std::wstring caption = GetText();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&rect, -Scaled(2), -Scaled(2));
        DrawFocusRect(dc, &rect);
    }
}
