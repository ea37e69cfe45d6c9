#include "repair/DlgProgress.h"

#include "app/App.h"
#include "framework/Prompts.h"
#include "res/resource.h"
#include "save/SaveOptionView.h"

namespace {
// The worker's close request. It is a message of our own, not WM_CLOSE, so
// that a close from the keyboard or the system can never pass for it: only
// the worker knows when the job has let go of the dialog.
constexpr UINT kJobEndedMessage = WM_APP + 1;

constexpr wchar_t kRepairLabel[] = L"Please wait video file repair process is active... ";
constexpr wchar_t kSaveLabel[] = L"Please wait video file saving process is active... ";
constexpr COLORREF kWhite = RGB(255, 255, 255);

HANDLE StartWorkerThread(CDlgProgress* dialog) {
    return CreateThread(nullptr, 0, &CDlgProgress::WorkerThreadProc, dialog, 0, nullptr);
}
} // namespace

HANDLE (*CDlgProgress::s_pfnStartWorker)(CDlgProgress* dialog) = &StartWorkerThread;

// clang-format off
constexpr fw::MessageEntry<CDlgProgress> CDlgProgress::kMessages[] = {
    fw::msg::Command<IDC_STOP, &CDlgProgress::OnBnClickedStop>(),
    fw::msg::Close<&CDlgProgress::OnClose>(),
    fw::msg::CtlColor<&CDlgProgress::OnCtlColor>(),
    fw::msg::Raw<kJobEndedMessage, &CDlgProgress::OnJobEnded>(),
};
// clang-format on

CDlgProgress::CDlgProgress() : fw::Dialog(IDD_PROGRESS), m_brushWhite(CreateSolidBrush(kWhite)) {}

bool CDlgProgress::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result) ||
           fw::Dialog::ProcessMessage(message, wParam, lParam, result);
}

BOOL CDlgProgress::OnInitDialog() {
    m_progress = Item(IDC_PROGRESS_BAR);
    m_staticMessage = Item(IDC_PROGRESS_TEXT);
    m_btnStop.Attach(Item(IDC_STOP).Handle());

    m_staticMessage.SetText(L"");
    if (m_bRepair)
        m_staticMessage.SetText(kRepairLabel);
    else if (m_bSave)
        m_staticMessage.SetText(kSaveLabel);

    m_progress.Send(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    m_progress.Show(SW_SHOW);

    CDravix_Video_RecoveryApp& app = GetApp();
    app.m_bStopProcess = false;
    app.m_pProgressDlg = this;
    CenterOnOwner();

    HANDLE worker = s_pfnStartWorker(this);
    m_bWorkerStarted = worker != nullptr;
    if (worker)
        CloseHandle(worker); // never joined: the worker's close request ends the dialog

    if (!m_bRepair && m_bSave) {
        m_btnStop.Show(SW_HIDE);
        m_progress.Show(SW_HIDE);
    }

    if (!m_bWorkerStarted) {
        // Nothing would ever close the dialog: say so and close it now.
        fw::ShowMessage(m_bRepair ? L"Video file repair process could not be started."
                                  : L"Video file saving process could not be started.",
                        MB_OK | MB_ICONINFORMATION);
        EndDialog(IDABORT);
    }
    return TRUE;
}

void CDlgProgress::SetProgress(int percent) {
    m_progress.Send(PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    InvalidateRect(m_progress.Handle(), nullptr, TRUE);
}

DWORD WINAPI CDlgProgress::WorkerThreadProc(LPVOID parameter) {
    auto* dialog = static_cast<CDlgProgress*>(parameter);
    const HWND window = dialog->Handle();
    try {
        if (dialog->m_testJob) {
            dialog->m_testJob();
        } else if (dialog->m_bRepair) {
            GetApp().RepairJob();
        } else if (dialog->m_bSave) {
            if (CSaveOptionView* page = GetApp().m_pSaveView)
                page->SaveJob();
        } else {
            return 1;
        }
    } catch (...) {
        // The close request must go out whatever the job did.
        dialog->m_bJobFailed = true;
    }
    SendMessageW(window, kJobEndedMessage, 0, 0);
    return 1;
}

LRESULT CDlgProgress::OnJobEnded(WPARAM, LPARAM) {
    m_bJobEnded = true;
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
        CDravix_Video_RecoveryApp& app = GetApp();
        app.m_bStopProcess = true;
        app.m_bSourcePageActive = 1;
        app.ShowPage(0);
    }
    // The job may have ended while the question was open.
    if (m_bJobEnded && m_nOpenQuestions == 0)
        EndDialog(IDCANCEL);
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
    // The worker goes on using the dialog and the shared state until its
    // close request arrives, so the modal loop may not end before. A repair
    // can be stopped, so the close asks the Stop question; a save cannot.
    if (m_bJobEnded || !m_bRepair || m_nOpenQuestions > 0 || GetApp().m_bStopProcess)
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
constexpr fw::MessageEntry<CDlgProgress::CStopButton> CDlgProgress::CStopButton::kMessages[] = {
    fw::msg::ReflectedDrawItem<&CStopButton::DrawItem>(),
    fw::msg::Raw<WM_SETCURSOR, &CStopButton::OnSetCursor>(),
};
// clang-format on

bool CDlgProgress::CStopButton::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                               LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result);
}

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
        OffsetRect(&text, 1, 1);
    HFONT font = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    fw::SelectGuard select(dc,
                           font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const std::wstring caption = GetText();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&rect, -2, -2);
        DrawFocusRect(dc, &rect);
    }
}
