// The repair job on its own, with the disk's and the network's faults handed
// in through its file operations, and the clean-up of earlier runs' leftovers.
#include "RepairTestSupport.h"
#include "controls/DlgProgress.h"
#include "framework/Files.h"
#include "repair/RepairJob.h"

#include <thread>

namespace {
using namespace repair_test;
using fw::JobOutcome;

struct Positions : fw::Progress {
    void Set(int percent) override { seen.push_back(percent); }
    std::vector<int> seen;
};

class RepairJobAlone : public testing::Test {
protected:
    JobOutcome Run(RepairFileIo* io, const std::wstring& temporary) {
        const std::atomic<bool> stop{false};
        return RepairJob({m_source.Path(), temporary, io}, m_progress, fw::StopToken(stop));
    }
    // No handle of the job's is left on the source: it opens without sharing.
    bool SourceClosed() const {
        return fw::UniqueHandle(CreateFileW(m_source.Path().c_str(), GENERIC_READ | GENERIC_WRITE,
                                            0, nullptr, OPEN_EXISTING, 0, nullptr))
            .Valid();
    }

    ScratchFile m_source{L"job.mp4", 16 * 1024};
    std::wstring m_temporary = ProgramFolder() + fw::CreateGuidString() + L".mp4";
    Positions m_progress;
};

TEST_F(RepairJobAlone, AWriteThatFailsOrFallsShortEndsTheJobAndRemovesTheTemporaryFile) {
    for (const bool shortWrite : {false, true}) {
        SCOPED_TRACE(shortWrite ? "short write" : "failed write");
        FillingDisk disk(5, shortWrite);
        m_progress.seen.clear();
        const JobOutcome outcome = Run(&disk, m_temporary);
        EXPECT_TRUE(outcome.IsFailed());
        EXPECT_EQ(outcome.path, m_temporary);
        EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_DISK_FULL));
        EXPECT_EQ(m_progress.seen, (std::vector<int>{10, 40}));
        EXPECT_FALSE(Exists(m_temporary));
        EXPECT_TRUE(SourceClosed());
    }
}

TEST_F(RepairJobAlone, ATemporaryFileThatCannotBeMadeIsNamedAsTheFailure) {
    const std::wstring nowhere =
        ProgramFolder() + L"no such folder\\" + fw::CreateGuidString() + L".mp4";
    const JobOutcome outcome = Run(nullptr, nowhere);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.path, nowhere);
    EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(m_progress.seen, std::vector<int>{10});
    EXPECT_TRUE(SourceClosed());
}

// A source that stops answering, as a network share can: its reads wait on
// a pipe that nothing is written to.
class SilentShare : public RepairFileIo {
public:
    SilentShare() { CreatePipe(&m_read, &m_write, nullptr, 0); }
    ~SilentShare() override {
        CloseHandle(m_read);
        CloseHandle(m_write);
    }
    HANDLE OpenSource(const std::wstring&) override {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), m_read, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return copy;
    }
    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override {
        reading = true;
        return RepairFileIo::Read(file, buffer, size, read);
    }
    // Lets a read that was never cancelled return, so that a failing test ends.
    void Answer() { CloseHandle(std::exchange(m_write, nullptr)); }
    std::atomic<bool> reading{false};

private:
    HANDLE m_read = nullptr, m_write = nullptr;
};

class RepairUnderTheDialog : public support::Workspace {};

TEST_F(RepairUnderTheDialog, StopCancelsAReadThatNeverReturns) {
    SilentShare share;
    const std::wstring temporary = ProgramFolder() + fw::CreateGuidString() + L".mp4";
    const RepairInputs inputs{L"\\\\share\\clip.mp4", temporary, &share};
    CDlgProgress dialog(state.m_bStopProcess,
                        {.label = L"repair",
                         .stoppable = true,
                         .job = [&](fw::Progress& progress, const fw::StopToken& stop) {
                             return RepairJob(inputs, progress, stop);
                         }});
    fw::PromptScript script;
    script.AnswerMessage(IDYES);
    RunOnUiThreadSoon([&] {
        PumpUntil([&] { return share.reading.load(); });
        support::PumpFor(100); // well inside the read
        PostMessageW(GetDlgItem(dialog.Handle(), IDC_STOP), BM_CLICK, 0, 0);
    });
    std::atomic<bool> ended{false}, answered{false};
    std::thread fallback([&] {
        for (int i = 0; i < 150 && !ended; ++i)
            Sleep(100);
        if (!ended) {
            answered = true;
            share.Answer();
        }
    });
    const JobOutcome outcome = dialog.DoModal(app.MainWindow());
    ended = true;
    fallback.join();
    EXPECT_FALSE(answered)
        << "the read was not cancelled: it returned only when the source answered";
    EXPECT_EQ(outcome.status, JobOutcome::Status::Stopped);
    EXPECT_FALSE(Exists(temporary));
}

TEST(LeftoverTemporaryFiles, OnlyMarkedFilesNamedAsTheRepairNamesThemAreRemoved) {
    support::ScratchFolder folder(L"dravix-leftovers");
    const DWORD mark = kTemporaryFileMark;
    const auto make = [&](const std::wstring& name, DWORD attributes) {
        EXPECT_TRUE(support::WriteBytes(folder.File(name), "a copy"));
        EXPECT_TRUE(SetFileAttributesW(folder.File(name).c_str(), attributes)) << name.c_str();
        return folder.File(name);
    };
    {
        // The job's own file carries the mark, on this platform too.
        const std::wstring path = folder.File(fw::CreateGuidString() + L".mp4");
        fw::UniqueHandle temporary(RepairFileIo().CreateTemporary(path));
        EXPECT_EQ(GetFileAttributesW(path.c_str()) & mark, mark);
    }
    std::wstring lower = fw::CreateGuidString();
    CharLowerW(lower.data());
    // The first three go.
    const std::vector<std::pair<std::wstring, DWORD>> files = {
        {fw::CreateGuidString() + L".mp4", mark},
        {fw::CreateGuidString() + L".MOV", mark | FILE_ATTRIBUTE_ARCHIVE},
        {fw::CreateGuidString(), mark},
        {fw::CreateGuidString() + L".docx", FILE_ATTRIBUTE_ARCHIVE}, // a user's file
        {fw::CreateGuidString() + L".mp4", FILE_ATTRIBUTE_HIDDEN},
        {fw::CreateGuidString() + L".mp4", mark | FILE_ATTRIBUTE_READONLY},
        {fw::CreateGuidString() + L".mp4.txt", mark},
        {L"notes " + fw::CreateGuidString() + L".mp4", mark},
        {lower + L".mp4", mark}};
    for (const auto& [name, attributes] : files)
        make(name, attributes);
    const std::wstring held = make(fw::CreateGuidString() + L".mkv", mark);
    fw::UniqueHandle holder(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    // A link named as a leftover, to a marked file, where links can be made (not in Wine 8).
    const std::wstring target = make(L"target.mp4", mark);
    const std::wstring link = folder.File(fw::CreateGuidString() + L".mp4");
    const bool linked = CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
                        Exists(link);

    EXPECT_EQ(RemoveLeftoverTemporaryFiles(folder.Path() + L"\\"), 3);
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(Exists(folder.File(files[i].first)), i >= 3) << files[i].first.c_str();
    EXPECT_TRUE(Exists(held)) << "a file another process has open";
    EXPECT_TRUE(Exists(target));
    EXPECT_EQ(Exists(link), linked);
}

} // namespace
