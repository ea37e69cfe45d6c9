// The Repair command and its job, run in a live workspace under the real
// progress dialog.
#include "RepairTestSupport.h"

#include "app/MainFrame.h"
#include "repair/RepairJob.h"
#include "res/resource.h"
#include "save/SaveOptionView.h"

#include <io.h>

#include <regex>
#include <thread>

namespace {
using namespace repair_test;

const wchar_t kStopQuestion[] = L"Are you sure, stop Repair?";
constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;

class HeldJob;

class RepairCommand : public support::Workspace {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Workspace::SetUp());
        ASSERT_TRUE(Exists(engine.Path()));
        ASSERT_TRUE(LeftoverTemporaryFiles().empty()) << "a temporary file from before the test";
    }
    void TearDown() override { EXPECT_TRUE(LeftoverTemporaryFiles().empty()); }

    void Choose(const ScratchFile& file, const wchar_t* ext = L"mp4") {
        state.m_strSourceFile = file.Path();
        state.m_strSourceExt = ext;
    }
    void Repair() {
        Watchdog watchdog("the Repair command did not come back");
        app.OnRepair();
    }
    bool OnSavePage() const {
        return state.m_bSourcePageActive == 0 && app.GetMainFrame()->ActiveView() == app.Page(1);
    }
    bool OnSourcePage() const {
        return state.m_bSourcePageActive == 1 && app.GetMainFrame()->ActiveView() == app.Page(0);
    }
    std::vector<std::wstring> MessageTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& record : script.Messages())
            texts.push_back(record.text);
        return texts;
    }
    void RepairAnsweringStopWithNo(HeldJob& job);
    // Holds the job's read until it is asked to stop: the job outlasts
    // whatever the test does meanwhile, on any machine.
    void HoldUntilStopped() const {
        support::WaitUntil([this] { return state.m_bStopProcess.load(); }, 60000);
    }

    EngineBeside engine;
    fw::PromptScript script;
    ProgressRecorder recorder;
};

bool IsRegistryGuid(const std::wstring& text) {
    static const std::wregex form(
        LR"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})");
    return std::regex_match(text, form);
}

class RepairOfSize : public RepairCommand, public testing::WithParamInterface<size_t> {};

TEST_P(RepairOfSize, CopiesThroughATemporaryFileAndMovesToTheSavePage) {
    ScratchFile source(L"clip.mp4", GetParam());
    const std::string before = ReadBytes(source.Path());
    Choose(source);
    // Every chunk goes through one buffer of 512 bytes.
    std::atomic<void*> firstBuffer{nullptr};
    std::atomic<bool> sameBuffer{true};
    ReaderHook reads(app, [&](int call, HANDLE, void* buffer, DWORD size) {
        if (call == 1)
            firstBuffer = buffer;
        if (buffer != firstBuffer || size != 512)
            sameBuffer = false;
        return true;
    });

    Repair();

    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40, 100}));
    EXPECT_TRUE(sameBuffer);
    EXPECT_EQ(reads.Calls(), static_cast<int>((GetParam() + 511) / 512 + 1));
    EXPECT_TRUE(OnSavePage());
    EXPECT_TRUE(script.Messages().empty());
    const std::wstring& temp = state.m_strTempOutputFile;
    const std::wstring folder = ProgramFolder();
    ASSERT_EQ(temp.size(), folder.size() + 38 + 4);
    EXPECT_EQ(temp.substr(0, folder.size()), folder);
    EXPECT_TRUE(IsRegistryGuid(temp.substr(folder.size(), 38))) << temp.c_str();
    EXPECT_EQ(temp.substr(folder.size() + 38), L".mp4");
    EXPECT_FALSE(Exists(temp));
    EXPECT_TRUE(ReadBytes(source.Path()) == before) << "the source was changed";
}

INSTANTIATE_TEST_SUITE_P(EmptySmallAndLarge, RepairOfSize,
                         testing::Values(size_t{0}, size_t{1000}, size_t{3} * 1024 * 1024 + 17));

TEST_F(RepairCommand, ShowsTheSavePageCompleteTheFirstTime) {
    ScratchFile source(L"clip.mp4", 1000);
    Choose(source);
    Repair();
    ASSERT_TRUE(OnSavePage());

    CSaveOptionView& page = *app.SavePage();
    const RECT client = page.ClientRect();
    for (int id : {IDC_BROWSE, IDC_SAVE, IDC_BACK, IDC_PREVIEW}) {
        SCOPED_TRACE(id);
        const auto* button =
            dynamic_cast<CToolButton*>(fw::WindowBase::FromHandle(page.Item(id).Handle()));
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->IsVisible());
        EXPECT_GT(button->PictureSize().cx, 0) << "no picture";
        EXPECT_EQ(SendMessageW(button->Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1) << "no tooltip";
        const RECT place = button->RectInParent();
        EXPECT_TRUE(place.left >= 0 && place.right <= client.right &&
                    place.bottom <= client.bottom);
    }
    EXPECT_EQ(page.Item(IDC_DEST_LABEL).GetText(),
              L"Destination directory path to save repaired Video file:");
    EXPECT_EQ(GetFocus(), page.Item(IDC_DEST_PATH).Handle());
}

TEST_F(RepairCommand, NamesEachTemporaryFileAfterAFreshGuidAndTheSourceExtension) {
    ScratchFile bare(L"noext", 700);
    Choose(bare, L"");
    Repair();
    const std::wstring first = state.m_strTempOutputFile;
    EXPECT_EQ(first.back(), L'}') << "no dot without an extension: " << first.c_str();

    app.ShowPage(0);
    state.m_bSourcePageActive = 1;
    ScratchFile upper(L"clip.MP4", 700);
    Choose(upper, L"MP4");
    Repair();
    const std::wstring second = state.m_strTempOutputFile;
    EXPECT_EQ(second.substr(second.size() - 4), L".MP4");
    EXPECT_NE(first, second.substr(0, second.size() - 4));
    EXPECT_TRUE(OnSavePage());
}

TEST_F(RepairCommand, RefusesWithoutASourceAndOpensNoDialog) {
    Repair();
    ASSERT_EQ(script.Messages().size(), 1u);
    EXPECT_EQ(script.Messages()[0].text, L"Please add corrupt video file to repair.");
    EXPECT_EQ(script.Messages()[0].type, kInfo);
    EXPECT_EQ(recorder.barsCreated, 0);
    EXPECT_TRUE(OnSourcePage());
}

TEST_F(RepairCommand, RefusesWithoutTheRepairEngineAndNamesItsFullPath) {
    ScratchFile source(L"clip.mp4", 100);
    Choose(source);
    ASSERT_TRUE(DeleteFileW(engine.Path().c_str()));
    Repair();
    ASSERT_EQ(script.Messages().size(), 1u);
    EXPECT_EQ(script.Messages()[0].text,
              ProgramFolder() +
                  L"ZMTE.exe not found.\nPlease check whether software is properly installed.");
    EXPECT_EQ(script.Messages()[0].type, kInfo);
    EXPECT_EQ(recorder.barsCreated, 0);
    EXPECT_TRUE(OnSourcePage());
}

// A reader that, at the given chunk, has the user act on the dialog (posted,
// as input would come) and holds the job until the test lets it go.
class HeldJob {
public:
    HeldJob(CDravix_Video_RecoveryApp& app, int atChunk, std::function<void()> act)
        : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_hook(app, [this, atChunk, act](int call, HANDLE, void*, DWORD) {
              if (call == atChunk) {
                  act();
                  if (WaitForSingleObject(m_release, 10000) != WAIT_OBJECT_0)
                      m_timedOut = true;
              }
              return true;
          }) {}
    ~HeldJob() { CloseHandle(m_release); }
    void Release() { SetEvent(m_release); }
    bool TimedOut() const { return m_timedOut; }
    int Calls() const { return m_hook.Calls(); }

private:
    HANDLE m_release;
    std::atomic<bool> m_timedOut{false};
    ReaderHook m_hook;
};

HWND DialogWindow() {
    return ProgressDialogWindow();
}

// The dialog is up and its modal loop runs: EndDialog would have enabled the
// frame again. (Visibility says nothing: the platform shows a dialog without
// WS_VISIBLE only once its queue has been empty.)
bool DialogStillModal(HWND frame) {
    return IsWindow(DialogWindow()) && !IsWindowEnabled(frame);
}

void ClickStop() {
    PostMessageW(GetDlgItem(DialogWindow(), IDC_STOP), BM_CLICK, 0, 0);
}

// Repairs while `job` brings up the Stop question; No lets the job go on.
void RepairCommand::RepairAnsweringStopWithNo(HeldJob& job) {
    script.OnMessage([&](const fw::PromptScript::Record&) {
        job.Release();
        return IDNO;
    });
    Repair();
    EXPECT_FALSE(job.TimedOut()) << "no Stop question came";
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kStopQuestion});
}

TEST_F(RepairCommand, StopAnsweredNoLetsTheJobRunToTheSavePage) {
    ScratchFile source(L"clip.mp4", 64 * 1024);
    Choose(source);
    HeldJob job(app, 3, ClickStop);
    RepairAnsweringStopWithNo(job);
    EXPECT_EQ(script.Messages()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(job.Calls(), 64 * 1024 / 512 + 1);
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40, 100}));
    EXPECT_FALSE(state.m_bStopProcess);
    EXPECT_TRUE(OnSavePage());
}

TEST_F(RepairCommand, StopAnsweredYesShowsTheSourcePageAtOnceAndEndsAtTheNextChunk) {
    ScratchFile source(L"clip.mp4", 64 * 1024);
    Choose(source);
    // Start from the save page so that the switch back is visible.
    app.ShowPage(1);
    state.m_bSourcePageActive = 0;
    HeldJob job(app, 3, ClickStop);
    bool stoppedAtOnce = false, dialogStayed = false;
    std::wstring tempDuringStop;
    script.OnMessage([&](const fw::PromptScript::Record&) {
        // Look once the handler has acted on the answer, still inside the dialog.
        RunOnUiThreadSoon([&] {
            stoppedAtOnce = state.m_bStopProcess && OnSourcePage();
            dialogStayed = DialogStillModal(app.MainWindow());
            tempDuringStop = state.m_strTempOutputFile;
            job.Release();
        });
        return IDYES;
    });
    Repair();
    EXPECT_FALSE(job.TimedOut());
    EXPECT_TRUE(stoppedAtOnce);
    EXPECT_TRUE(dialogStayed);
    EXPECT_EQ(job.Calls(), 3) << "the chunk read after the stop is the last";
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40}));
    EXPECT_TRUE(OnSourcePage());
    EXPECT_FALSE(tempDuringStop.empty());
    EXPECT_FALSE(Exists(tempDuringStop)) << "the command removes the temporary file";

    // Repair can run again, to its end this time.
    script.OnMessage(nullptr);
    recorder.positions.clear();
    Repair();
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40, 100}));
    EXPECT_NE(state.m_strTempOutputFile, tempDuringStop);
    EXPECT_TRUE(OnSavePage());
}

TEST_F(RepairCommand, StopConfirmedAfterTheJobHasEndedCountsAsStopped) {
    ScratchFile source(L"clip.mp4", 8 * 1024);
    Choose(source);
    HeldJob job(app, 1, ClickStop);
    bool dialogWaitedForTheAnswer = false;
    script.OnMessage([&](const fw::PromptScript::Record&) {
        job.Release();
        // The box stays up while the job finishes and asks the dialog to close.
        // The job has read to the end and reported 100; its end message
        // arrives while the box is up.
        const bool ended = PumpUntil(
            [&] { return !recorder.positions.empty() && recorder.positions.back() == 100; });
        support::PumpFor(200);
        dialogWaitedForTheAnswer = ended && DialogStillModal(app.MainWindow());
        return IDYES;
    });
    Repair();
    EXPECT_TRUE(dialogWaitedForTheAnswer);
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40, 100}));
    EXPECT_TRUE(state.m_bStopProcess);
    EXPECT_TRUE(OnSourcePage());
    EXPECT_FALSE(Exists(state.m_strTempOutputFile));
}

// Escape, Enter, Alt+F4 and a close by the system reach the dialog while the
// job runs: each asks the Stop question instead of ending the modal loop
// under the running worker.
struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CloseDuringTheJob : public RepairCommand, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDuringTheJob, AsksTheStopQuestionAndKeepsTheDialogForTheJob) {
    ScratchFile source(L"clip.mp4", 64 * 1024);
    Choose(source);
    const CloseCase close = GetParam();
    HeldJob job(app, 2, [close] {
        PostMessageW(DialogWindow(), close.message, close.wParam, close.lParam);
    });
    RepairAnsweringStopWithNo(job);
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40, 100}));
    EXPECT_TRUE(OnSavePage());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CloseDuringTheJob,
    testing::Values(CloseCase{"Escape", WM_KEYDOWN, VK_ESCAPE, 1},
                    CloseCase{"Enter", WM_KEYDOWN, VK_RETURN, 1},
                    CloseCase{"AltF4", WM_SYSKEYDOWN, VK_F4, LPARAM{1} | (LPARAM{1} << 29)},
                    CloseCase{"SystemClose", WM_SYSCOMMAND, SC_CLOSE, 0},
                    CloseCase{"Close", WM_CLOSE, 0, 0}),
    [](const testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

// Another program asking the frame to close, or the session ending, while a
// repair runs: the job is not pulled from under the dialog.
TEST_F(RepairCommand, CloseRequestsToTheFrameWaitAndTheSessionsEndStopsTheJob) {
    ScratchFile source(L"clip.mp4", 64 * 1024);
    Choose(source);
    const HWND frameWindow = app.MainWindow();
    BOOL queryAnswer = TRUE;
    bool goneWhenEndReturned = false;
    std::thread outsider;
    // Inside the dialog's loop: the close requests, then, once they have been
    // handled (a timer comes only when no posted message waits), the
    // session's end from another thread.
    RunOnUiThreadSoon([&] {
        PostMessageW(frameWindow, WM_CLOSE, 0, 0);
        PostMessageW(frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        RunOnUiThreadSoon([&] {
            const std::wstring temporary = state.m_strTempOutputFile;
            outsider = std::thread([&, temporary] {
                // As an installer asks through the Restart Manager.
                queryAnswer = static_cast<BOOL>(
                    SendMessageW(frameWindow, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
                SendMessageW(frameWindow, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
                goneWhenEndReturned = !Exists(temporary);
            });
        });
    });
    ReaderHook reads(app, [&](int call, HANDLE, void*, DWORD) {
        if (call == 2)
            HoldUntilStopped();
        return true;
    });
    Repair();
    outsider.join();
    EXPECT_TRUE(script.Messages().empty()) << "the close question was asked";
    EXPECT_TRUE(IsWindow(frameWindow));
    EXPECT_FALSE(queryAnswer) << "the session's end was not held off";
    EXPECT_TRUE(goneWhenEndReturned) << "the temporary file outlived the session's end";
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40})) << "the job was not stopped";
    EXPECT_EQ(reads.Calls(), 2);
    EXPECT_TRUE(OnSourcePage());
    EXPECT_EQ(SendMessageW(frameWindow, WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST_F(RepairCommand, ATemporaryFileThatCannotBeWrittenIsToldAndTheSourcePageStays) {
    ScratchFile source(L"clip.mp4", 64 * 1024);
    Choose(source);
    FillingDisk disk(3, false);
    app.SetRepairFileIo(&disk);
    Repair();
    app.SetRepairFileIo(nullptr);
    ASSERT_EQ(script.Messages().size(), 1u);
    EXPECT_EQ(script.Messages()[0].text, L"\"" + state.m_strTempOutputFile +
                                             L"\" could not be written.\n" +
                                             fw::SystemReason(ERROR_DISK_FULL));
    EXPECT_EQ(script.Messages()[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_TRUE(OnSourcePage());
    EXPECT_FALSE(Exists(state.m_strTempOutputFile));
}

TEST_F(RepairCommand, EscapeConfirmedDuringALongJobStopsIt) {
    ScratchFile source(L"long.mp4", 64 * 1024);
    Choose(source);
    ReaderHook reads(app, [&](int call, HANDLE, void*, DWORD) {
        if (call == 3) {
            PostMessageW(DialogWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
            HoldUntilStopped();
        }
        return true;
    });
    script.AnswerMessage(IDYES);
    Repair();
    EXPECT_EQ(MessageTexts(), std::vector<std::wstring>{kStopQuestion});
    EXPECT_EQ(reads.Calls(), 3) << "the job read on after the stop";
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40}));
    EXPECT_TRUE(OnSourcePage());
    EXPECT_FALSE(Exists(state.m_strTempOutputFile));
}

// A source that cannot be read is reported, by name, and the wizard stays.
class UnreadableSource : public RepairCommand {
protected:
    void ExpectReportedAndCleanedUp(DWORD error) {
        ASSERT_EQ(script.Messages().size(), 1u);
        EXPECT_EQ(script.Messages()[0].text,
                  state.m_strSourceFile + L" could not be read.\n" + fw::SystemReason(error));
        EXPECT_EQ(script.Messages()[0].type, kInfo);
        EXPECT_TRUE(OnSourcePage());
        EXPECT_FALSE(Exists(state.m_strTempOutputFile));
    }
};

TEST_F(UnreadableSource, RemovedAfterItWasChosen) {
    {
        ScratchFile source(L"gone.mp4", 1000);
        Choose(source);
    }
    Repair();
    EXPECT_EQ(recorder.positions, std::vector<int>{10});
    ExpectReportedAndCleanedUp(ERROR_FILE_NOT_FOUND);
}

TEST_F(UnreadableSource, HeldOpenWithoutSharingElsewhere) {
    ScratchFile source(L"locked.mp4", 1000);
    Choose(source);
    HANDLE lock =
        CreateFileW(source.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Repair();
    CloseHandle(lock);
    EXPECT_EQ(recorder.positions, std::vector<int>{10});
    ExpectReportedAndCleanedUp(ERROR_SHARING_VIOLATION);
}

TEST_F(UnreadableSource, FailingInTheMiddle) {
    ScratchFile source(L"bad.mp4", 16 * 1024);
    const std::string before = ReadBytes(source.Path());
    Choose(source);
    ReaderHook reads(app, [](int call, HANDLE, void*, DWORD) { return call != 5; });
    Repair();
    EXPECT_EQ(reads.Calls(), 5);
    EXPECT_EQ(recorder.positions, (std::vector<int>{10, 40}));
    ExpectReportedAndCleanedUp(ERROR_READ_FAULT);
    EXPECT_TRUE(ReadBytes(source.Path()) == before);
}

} // namespace
