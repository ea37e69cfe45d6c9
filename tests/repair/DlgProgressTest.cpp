// The progress dialog on its own: its template and look, the progress
// protocol, and what a close does while a job runs, with test jobs.
#include "RepairTestSupport.h"

#include "controls/DlgProgress.h"
#include "framework/Files.h"
#include "repair/Engines.h"
#include "repair/RepairJob.h"
#include "res/resource.h"

#include <objbase.h>
#include <oleacc.h>

#include <stdexcept>

namespace {
using namespace repair_test;

// A control's own visibility: the dialog itself shows only once its queue
// has been empty.
bool Shown(const fw::WindowRef& control) {
    return (control.Style() & WS_VISIBLE) != 0;
}

class ProgressDialog : public support::Workspace {
protected:
    // A dialog as the Repair (stoppable) or the Save command opens it, whose
    // job runs `body` on the worker thread.
    CDlgProgress::Options Options(bool repair, std::function<void(fw::Progress&)> body) {
        return {.label = repair ? L"Please wait video file repair process is active... "
                                : L"Please wait video file saving process is active... ",
                .stoppable = repair,
                .job = [body](fw::Progress& progress, const fw::StopToken&) {
                    body(progress);
                    return fw::JobOutcome{};
                }};
    }
    fw::JobOutcome Run(CDlgProgress& dialog) {
        Watchdog watchdog("the progress dialog did not close");
        return dialog.DoModal(app.MainWindow());
    }
    bool StillModal(const CDlgProgress& dialog) const {
        return IsWindow(dialog.Handle()) && !IsWindowEnabled(app.MainWindow());
    }

    fw::PromptScript script;
};

TEST_F(ProgressDialog, RepairModeShowsLabelBarAndStopInTheTemplateLayout) {
    state.m_bStopProcess = true;
    bool cleared = false, visible = false;
    std::wstring label, caption;
    LONG_PTR style = 0, exStyle = 0;
    RECT client{}, expected{0, 0, 281, 41};
    int low = -1, high = -1, position = -1;
    CDlgProgress dialog(
        state.m_bStopProcess, Options(true, [&](fw::Progress& progress) {
            cleared = !state.m_bStopProcess;
            HWND window = dialog.Handle();
            label = dialog.Item(IDC_PROGRESS_TEXT).GetText();
            caption = dialog.GetText();
            style = GetWindowLongPtrW(window, GWL_STYLE);
            exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
            GetClientRect(window, &client);
            MapDialogRect(window, &expected);
            visible = Shown(dialog.Item(IDC_PROGRESS_BAR)) && Shown(dialog.Item(IDC_STOP));
            low = static_cast<int>(dialog.Item(IDC_PROGRESS_BAR).Send(PBM_GETRANGE, TRUE));
            high = static_cast<int>(dialog.Item(IDC_PROGRESS_BAR).Send(PBM_GETRANGE, FALSE));
            progress.Set(55);
            position = static_cast<int>(dialog.Item(IDC_PROGRESS_BAR).Send(PBM_GETPOS));
        }));
    EXPECT_TRUE(Run(dialog).IsCompleted());
    EXPECT_TRUE(cleared);
    EXPECT_EQ(label, L"Please wait video file repair process is active... ");
    EXPECT_EQ(caption, L"");
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(exStyle & WS_EX_CONTROLPARENT);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    EXPECT_TRUE(visible);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 100);
    EXPECT_EQ(position, 55);
    EXPECT_TRUE(script.Messages().empty());
}

TEST_F(ProgressDialog, SaveModeShowsTheLabelOnlyAndCannotBeClosedUnderItsJob) {
    bool labelOnly = false, stayed = false;
    std::wstring label;
    CDlgProgress dialog(state.m_bStopProcess, Options(false, [&](fw::Progress&) {
                            HWND window = dialog.Handle();
                            label = dialog.Item(IDC_PROGRESS_TEXT).GetText();
                            labelOnly = Shown(dialog.Item(IDC_PROGRESS_TEXT)) &&
                                        !Shown(dialog.Item(IDC_PROGRESS_BAR)) &&
                                        !Shown(dialog.Item(IDC_STOP));
                            SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
                            SendMessageW(window, WM_COMMAND, IDOK, 0);
                            SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                            SendMessageW(window, WM_CLOSE, 0, 0);
                            stayed = StillModal(dialog);
                        }));
    Run(dialog);
    EXPECT_EQ(label, L"Please wait video file saving process is active... ");
    EXPECT_TRUE(labelOnly);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(script.Messages().empty()) << "a save cannot be stopped, so nothing is asked";
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow())) << "the frame is enabled again";
}

TEST_F(ProgressDialog, StopIsAFlatWhiteButtonWithHandCursorAndTooltip) {
    HANDLE looked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CDlgProgress dialog(state.m_bStopProcess,
                        Options(true, [&](fw::Progress&) { WaitForSingleObject(looked, 10000); }));
    COLORREF corner = 0, dialogBrush = 0;
    bool darkText = false, hand = false, ownerDrawn = false;
    std::wstring tip;
    RunOnUiThreadSoon([&] {
        HWND button = dialog.Item(IDC_STOP).Handle();
        auto* stop = dynamic_cast<CDlgProgress::CStopButton*>(fw::WindowBase::FromHandle(button));
        ASSERT_NE(stop, nullptr);
        ownerDrawn = (stop->Style() & BS_TYPEMASK) == BS_OWNERDRAW;
        const RECT rect = stop->ClientRect();
        support::Canvas canvas(rect.right, rect.bottom);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_STOP;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = button;
        item.hDC = canvas.Dc();
        item.rcItem = rect;
        stop->DrawItem(item);
        corner = canvas.At(1, 1);
        darkText = canvas.Count(rect, [](COLORREF c) { return GetRValue(c) < 100; }) > 0;
        SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        hand = GetCursor() == LoadCursorW(nullptr, IDC_HAND);

        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        if (SendMessageW(stop->Tooltip(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
            tool.uId == reinterpret_cast<UINT_PTR>(button))
            tip = text;

        fw::WindowDC dc(dialog.Handle());
        LOGBRUSH brush{};
        GetObjectW(reinterpret_cast<HBRUSH>(SendMessageW(
                       dialog.Handle(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(dialog.Handle()))),
                   sizeof brush, &brush);
        dialogBrush = brush.lbColor;
        SetEvent(looked);
    });
    Run(dialog);
    CloseHandle(looked);
    EXPECT_TRUE(ownerDrawn);
    EXPECT_EQ(corner, RGB(255, 255, 255));
    EXPECT_TRUE(darkText) << "the caption is drawn";
    EXPECT_TRUE(hand);
    EXPECT_EQ(tip, L"Stop Process");
    EXPECT_EQ(dialogBrush, RGB(255, 255, 255));
}

TEST_F(ProgressDialog, AScreenReaderReadsTheBarByTheTextLineAndItsPosition) {
    HANDLE read = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CDlgProgress dialog(state.m_bStopProcess, Options(true, [&](fw::Progress& progress) {
                            progress.Set(40);
                            WaitForSingleObject(read, 10000);
                        }));
    support::AccessibleFacts bar, stop, line;
    RunOnUiThreadSoon([&] {
        support::PumpUntil([&] { return dialog.Item(IDC_PROGRESS_BAR).Send(PBM_GETPOS) == 40; });
        bar = support::ReadAccessible(dialog.Item(IDC_PROGRESS_BAR).Handle());
        stop = support::ReadAccessible(dialog.Item(IDC_STOP).Handle());
        line = support::ReadAccessible(dialog.Item(IDC_PROGRESS_TEXT).Handle());
        SetEvent(read);
    });
    Run(dialog);
    CloseHandle(read);
    EXPECT_EQ(bar.role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(bar.name, L"Please wait video file repair process is active... ");
    EXPECT_EQ(bar.value, L"40%");
    EXPECT_EQ(stop.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(stop.name, L"Stop");
    EXPECT_EQ(stop.description, L"Stop Process");
    EXPECT_EQ(stop.defaultAction, L"Press");
    EXPECT_EQ(line.role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(line.name, bar.name);
}

TEST_F(ProgressDialog, AJobThatThrowsStillClosesTheDialogAndCountsAsFailed) {
    CDlgProgress dialog(state.m_bStopProcess,
                        Options(false, [](fw::Progress&) { throw std::runtime_error("lost"); }));
    const fw::JobOutcome outcome = Run(dialog);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_INTERNAL_ERROR));
}

// A busy machine can hold the worker between its end message and its exit.
TEST_F(ProgressDialog, AWorkerSlowToExitAfterItsJobLeavesTheJobFinished) {
    CDlgProgress::Options options = Options(true, [](fw::Progress&) {});
    options.onWorkerEnding = [this] {
        const HWND window = ProgressDialogWindow();
        support::WaitUntil([&] { return !IsWindow(window); });
        // The dialog waits for the thread now; it must not stop the job.
        support::WaitUntil([&] { return state.m_bStopProcess.load(); }, 500);
    };
    CDlgProgress dialog(state.m_bStopProcess, std::move(options));
    EXPECT_TRUE(Run(dialog).IsCompleted());
    EXPECT_FALSE(state.m_bStopProcess);
}

TEST_F(ProgressDialog, ADialogThatCannotBeMadeCountsAsFailed) {
    bool ran = false;
    CDlgProgress dialog(state.m_bStopProcess, Options(false, [&](fw::Progress&) { ran = true; }));
    // An owner that is gone: the system makes no dialog for it.
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
    DestroyWindow(gone);
    EXPECT_TRUE(dialog.DoModal(gone).IsFailed());
    EXPECT_FALSE(ran);
}

TEST(EngineLookup, FindsEnginesBesideTheProgramAndNamesMissingOnes) {
    const std::wstring path = GetEnginePath(L"ZMTD.exe");
    EXPECT_EQ(path, ProgramFolder() + L"ZMTD.exe");
    {
        EngineBeside engine(L"ZMTD.exe");
        EXPECT_TRUE(EngineExists(path));
    }
    EXPECT_FALSE(EngineExists(path));
    EXPECT_EQ(MissingEngineMessage(L"C:\\A\\ZMTD.exe"),
              L"C:\\A\\ZMTD.exe not found.\nPlease check whether software is properly installed.");
}

TEST(RepairHelpers, WorkingDirectoryIsTheProgramFolder) {
    EXPECT_EQ(GetWorkingDirectory(), ProgramFolder());
}

TEST(RepairHelpers, GuidStringsAreNewEachTimeInRegistryForm) {
    const std::wstring first = fw::CreateGuidString(), second = fw::CreateGuidString();
    EXPECT_NE(first, second);
    ASSERT_EQ(first.size(), 38u);
    GUID parsed{};
    EXPECT_EQ(CLSIDFromString(first.c_str(), &parsed), NOERROR);
    wchar_t again[39] = {};
    StringFromGUID2(parsed, again, 39);
    EXPECT_EQ(first, again) << "upper case, braces and hyphens";
}

} // namespace
