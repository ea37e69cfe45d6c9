// The wizard's commands: they check what they need, run the jobs under the
// progress dialog, tell the user what came of them and move between pages.
#include "app/App.h"

#include "app/MainFrame.h"
#include "controls/DlgProgress.h"
#include "framework/Files.h"
#include "framework/Prompts.h"
#include "repair/Engines.h"
#include "repair/RepairJob.h"
#include "repair/SourceView.h"
#include "save/SaveJob.h"
#include "save/SaveOptionView.h"

#include <algorithm>

namespace {
constexpr UINT kNotice = MB_OK | MB_ICONINFORMATION;
constexpr UINT kWarning = MB_OK | MB_ICONWARNING;
constexpr wchar_t kRepairLabel[] = L"Please wait video file repair process is active... ";
constexpr wchar_t kSaveLabel[] = L"Please wait video file saving process is active... ";

std::wstring WithReason(const std::wstring& text, DWORD error) {
    return text + L"\n" + fw::SystemReason(error);
}
} // namespace

void CDravix_Video_RecoveryApp::OnAddFile() {
    if (std::optional<std::wstring> chosen = ChooseSourceVideo(MainWindow())) {
        // Neither a missing file nor a device, pipe or folder becomes the
        // selection: a later repair would run on it while the page still
        // shows the previous file, or wait on it for good.
        switch (CheckSource(*chosen)) {
        case SourceCheck::Missing:
            fw::ShowMessage(fw::Trimmed(*chosen) + L" file does not exists.", kNotice);
            return;
        case SourceCheck::NotAFile:
            fw::ShowMessage(L"\"" + *chosen + L"\" is not a video file.", kNotice);
            return;
        case SourceCheck::Ok:
            break;
        }
        m_workflow.m_strSourceFile = *chosen;
        m_workflow.m_strSourceExt = fw::FileExtension(*chosen);
    }
    if (!m_workflow.m_strSourceFile.empty())
        m_sourceView->ShowSourceFile(m_workflow.m_strSourceFile);
}

void CDravix_Video_RecoveryApp::OnRepair() {
    Workflow& state = m_workflow;
    if (state.m_strSourceFile.empty()) {
        fw::ShowMessage(L"Please add corrupt video file to repair.", kNotice);
        return;
    }
    const std::wstring engine = GetEnginePath(L"ZMTE.exe");
    if (!EngineExists(engine)) {
        fw::ShowMessage(MissingEngineMessage(engine), kNotice);
        return;
    }

    state.m_strTempOutputFile = NewTemporaryPath(state.m_strSourceExt);
    const RepairInputs inputs{state.m_strSourceFile, state.m_strTempOutputFile, m_pRepairIo};
    CDlgProgress dialog(
        state.m_bStopProcess,
        {.label = kRepairLabel,
         .stoppable = true,
         .job = [inputs](fw::Progress& progress,
                         const fw::StopToken& stop) { return RepairJob(inputs, progress, stop); },
         .onStop = [this] { ShowPage(0); }});
    const fw::JobOutcome outcome = RunJob(dialog);

    if (state.m_bStopProcess) {
        // The Stop handler has already made the source page current. The
        // file went with the job's handle; this is for a file that could
        // not be deleted then.
        DeleteFileW(fw::LongPathForm(state.m_strTempOutputFile).c_str());
        return;
    }
    if (outcome.IsFailed()) {
        if (outcome.path == inputs.temporary)
            fw::ShowMessage(
                WithReason(L"\"" + outcome.path + L"\" could not be written.", outcome.error),
                kWarning);
        else if (outcome.path == inputs.source)
            fw::ShowMessage(WithReason(inputs.source + L" could not be read.", outcome.error),
                            kNotice);
        else
            fw::ShowMessage(
                WithReason(L"Video file repair process could not be completed.", outcome.error),
                kWarning);
        return;
    }
    m_saveView->SetSourceExtension(state.m_strSourceExt);
    ShowPage(1);
}

void CDravix_Video_RecoveryApp::OnSaveCommand() {
    // Read here, on this thread, before the job starts.
    const std::wstring destination = m_saveView->Destination();
    if (destination.empty()) {
        fw::ShowMessage(L"Please provide path to save the output file.", kNotice);
        return;
    }
    // The chooser asked about the name the user typed; this is the file
    // that the save replaces.
    if (fw::PathExists(destination) &&
        fw::ShowMessage(L"\"" + destination + L"\" already exists.\nDo you want to replace it?",
                        MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    const SaveInputs inputs{m_workflow.m_strSourceFile,
                            destination,
                            {GetEnginePath(L"ZMTS.exe"), GetEnginePath(L"ZMTD.exe")}};
    const auto missingEngine = [&](const fw::JobOutcome& outcome) {
        return outcome.IsFailed() && std::find(inputs.engines.begin(), inputs.engines.end(),
                                               outcome.path) != inputs.engines.end();
    };
    CDlgProgress dialog(
        m_workflow.m_bStopProcess,
        {.label = kSaveLabel,
         .stoppable = false,
         .job = [&inputs](fw::Progress& progress,
                          const fw::StopToken& stop) { return SaveJob(inputs, progress, stop); },
         // Shown over the progress dialog, which closes after it.
         .onEnded =
             [&](const fw::JobOutcome& outcome) {
                 if (missingEngine(outcome))
                     fw::ShowMessage(MissingEngineMessage(outcome.path), kWarning);
             }});
    const fw::JobOutcome outcome = RunJob(dialog);

    // A save stopped by the end of the session says nothing.
    if (outcome.IsCompleted())
        fw::ShowMessage(L"File Saved Successfully.", kNotice);
    else if (outcome.IsFailed() && !missingEngine(outcome)) {
        // The destination first: it may name the source itself.
        const bool unreadSource = outcome.path != destination && outcome.path == inputs.source;
        fw::ShowMessage(
            WithReason(unreadSource ? inputs.source + L" could not be read."
                                    : L"The file could not be saved as \"" + destination + L"\".",
                       outcome.error),
            kWarning);
    }
}

void CDravix_Video_RecoveryApp::OnBack() {
    ShowPage(0);
}

void CDravix_Video_RecoveryApp::OnPreview() {
    const std::wstring player = GetEnginePath(L"ZMTP.exe");
    if (!EngineExists(player)) {
        fw::ShowMessage(MissingEngineMessage(player), kNotice);
        return;
    }
    DWORD error = ERROR_SUCCESS;
    const fw::UniqueHandle process = StartPlayer(player, m_workflow.m_strSourceFile, &error);
    if (!process) {
        fw::ShowMessage(WithReason(L"\"" + player + L"\" could not be started.", error), kNotice);
        return;
    }
    // The program goes on painting and answering while the player runs, but
    // takes no command and no close request until it has ended.
    const HWND frame = MainWindow();
    EnableWindow(frame, FALSE);
    WaitHandlingMessages(process.Get());
    EnableWindow(frame, TRUE);
    SetForegroundWindow(frame);
    m_saveView->TakeFocus();
}
