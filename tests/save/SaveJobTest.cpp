// Save: the refusal, the engine checks, the copy and how each outcome is told.
#include "SaveTestSupport.h"

#include "app/MainFrame.h"
#include "repair/Engines.h"
#include "res/resource.h"
#include "save/SaveJob.h"

#include <algorithm>

namespace {

using savetest::SavePageTest;
using support::EngineFile;
using support::Exists;
using support::ReadBytes;
using support::WriteBytes;

constexpr UINT kNotice = MB_OK | MB_ICONINFORMATION;
constexpr UINT kWarning = MB_OK | MB_ICONWARNING;

class Save : public SavePageTest {
protected:
    void SetUp() override {
        SavePageTest::SetUp();
        support::PlaceEngine(L"ZMTS.exe");
        support::PlaceEngine(L"ZMTD.exe");
        m_source = Scratch(L"movie.mp4");
        m_sourceBytes = support::SampleBytes(70001, 7);
        WriteBytes(m_source, m_sourceBytes);
        SelectSource(m_source);
    }
    void TearDown() override {
        support::RemoveEngine(L"ZMTS.exe");
        support::RemoveEngine(L"ZMTD.exe");
        SavePageTest::TearDown();
    }

    // Saves to `destination` through the page's button and returns the messages
    // shown but the replace question, which is answered `replace` and kept in
    // m_questions.
    std::vector<fw::PromptScript::Record> SaveTo(const std::wstring& destination,
                                                 bool fromMenu = false, int replace = IDYES) {
        m_page->Item(IDC_DEST_PATH).SetText(destination);
        const size_t before = m_prompts.Messages().size();
        m_questions.clear();
        if (!m_answer)
            m_prompts.OnMessage([&](const fw::PromptScript::Record& record) {
                if ((record.type & MB_TYPEMASK) != MB_YESNO)
                    return IDOK;
                m_questions.push_back(record);
                return replace;
            });
        {
            support::Watchdog watchdog("the save command", 30000);
            if (fromMenu)
                SendMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(ID_FILE_SAVE_OUTPUT, 0), 0);
            else
                Click(IDC_SAVE);
        }
        if (!m_answer)
            m_prompts.OnMessage(nullptr);
        auto messages = m_prompts.Messages();
        messages.erase(messages.begin(), messages.begin() + static_cast<ptrdiff_t>(before));
        std::erase_if(messages, [](const fw::PromptScript::Record& record) {
            return (record.type & MB_TYPEMASK) == MB_YESNO;
        });
        return messages;
    }

    void ExpectSaved(const std::vector<fw::PromptScript::Record>& messages,
                     const std::wstring& destination) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, L"File Saved Successfully.");
        EXPECT_EQ(messages[0].type, kNotice);
        EXPECT_TRUE(savetest::SameBytes(ReadBytes(destination), m_sourceBytes));
    }

    // A failed copy is told after the dialog, with the destination and a reason.
    void ExpectFailureTold(const std::vector<fw::PromptScript::Record>& messages,
                           const std::wstring& destination) {
        ASSERT_EQ(messages.size(), 1u);
        const std::wstring& text = messages[0].text;
        EXPECT_EQ(messages[0].type, kWarning);
        EXPECT_EQ(messages[0].threadId, GetCurrentThreadId()) << "after the dialog closed";
        EXPECT_NE(text.find(destination), std::wstring::npos) << "names the destination";
        const size_t reason = text.find(L'\n');
        ASSERT_NE(reason, std::wstring::npos);
        EXPECT_GT(text.size(), reason + 5) << "gives the system's reason";
        EXPECT_NE(text.back(), L'\n');
    }

    std::wstring m_source;
    std::string m_sourceBytes;
    std::vector<fw::PromptScript::Record> m_questions;
    bool m_answer = false; // the test answers the prompts itself
};

TEST_F(Save, AnEmptyFieldIsRefusedWithoutADialog) {
    savetest::DialogCounter dialogs;
    const auto messages = SaveTo(L"");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Please provide path to save the output file.");
    EXPECT_EQ(messages[0].type, kNotice);
    EXPECT_EQ(dialogs.Count(), 0);
}

TEST_F(Save, MissingEnginesAreNamedWithTheWarningIconAndNothingIsWritten) {
    const std::wstring destination = Scratch(L"out_(recovered).mp4");
    support::RemoveEngine(L"ZMTS.exe");
    support::RemoveEngine(L"ZMTD.exe");
    savetest::DialogCounter dialogs;
    // The warning is shown over the progress dialog, on the screen by then,
    // which closes after it.
    bool overTheDialog = false;
    m_answer = true;
    m_prompts.OnMessage([&](const fw::PromptScript::Record&) {
        overTheDialog = IsWindowVisible(GetActiveWindow()) &&
                        GetDlgItem(GetActiveWindow(), IDC_PROGRESS_TEXT) != nullptr;
        return IDOK;
    });
    auto messages = SaveTo(destination);
    m_prompts.OnMessage(nullptr);
    m_answer = false;
    ASSERT_EQ(messages.size(), 1u) << "ZMTD.exe is not looked at, nothing more is said";
    EXPECT_EQ(messages[0].text, MissingEngineMessage(EngineFile(L"ZMTS.exe")));
    EXPECT_EQ(messages[0].type, kWarning);
    EXPECT_EQ(messages[0].threadId, GetCurrentThreadId());
    EXPECT_TRUE(overTheDialog);
    EXPECT_EQ(dialogs.Count(), 1);

    support::PlaceEngine(L"ZMTS.exe");
    messages = SaveTo(destination);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, MissingEngineMessage(EngineFile(L"ZMTD.exe")));
    EXPECT_EQ(messages[0].type, kWarning);

    EXPECT_FALSE(Exists(destination));
    EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));
}

TEST_F(Save, CloseRequestsToTheFrameWaitWhileTheSaveRuns) {
    support::RemoveEngine(L"ZMTS.exe");
    LRESULT queryAnswer = TRUE;
    // The engine warning comes while the save's dialog is up: another program
    // asks the frame to close meanwhile.
    m_answer = true;
    m_prompts.OnMessage([&](const fw::PromptScript::Record&) {
        PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
        PostMessageW(app.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        support::PumpFor(100);
        queryAnswer = SendMessageW(app.MainWindow(), WM_QUERYENDSESSION, 0, 0);
        return IDOK;
    });
    EXPECT_EQ(SaveTo(Scratch(L"x_(recovered).mp4")).size(), 1u) << "the close question was asked";
    EXPECT_FALSE(queryAnswer);
    EXPECT_TRUE(IsWindow(app.MainWindow()));
}

TEST_F(Save, WritesAByteForByteCopyAndReplacesAnExistingFileOnlyWhenToldTo) {
    const std::wstring destination = Scratch(L"clip_(recovered).mp4");
    ExpectSaved(SaveTo(destination), destination);
    EXPECT_TRUE(m_questions.empty()) << "asked about a file that was not there";
    EXPECT_EQ(FieldText(), destination) << "the field keeps its text";

    // The question names the file that Save writes; No leaves it alone.
    const std::string earlier = support::SampleBytes(200000, 3);
    WriteBytes(destination, earlier);
    savetest::DialogCounter dialogs;
    EXPECT_TRUE(SaveTo(destination, false, IDNO).empty());
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].text,
              L"\"" + destination + L"\" already exists.\nDo you want to replace it?");
    EXPECT_EQ(m_questions[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(dialogs.Count(), 0);
    EXPECT_TRUE(savetest::SameBytes(ReadBytes(destination), earlier));

    // Yes: a longer file of that name is replaced, not merely overwritten in part.
    ExpectSaved(SaveTo(destination), destination);
    EXPECT_EQ(m_questions.size(), 1u);
    EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));
    EXPECT_TRUE(support::FilesMatching(m_scratch.Path() + L"\\~*").empty())
        << "the partial copy was left beside the file";

    // An empty source gives an empty copy.
    m_sourceBytes.clear();
    WriteBytes(m_source, m_sourceBytes);
    ExpectSaved(SaveTo(destination), destination);
}

TEST_F(Save, TheMenuCommandSavesLikeTheButton) {
    const std::wstring destination = Scratch(L"menu_(recovered).mp4");
    ExpectSaved(SaveTo(destination, true), destination);

    // On the source page the command is disabled and does nothing.
    state.m_bSourcePageActive = 1;
    const std::wstring other = Scratch(L"other_(recovered).mp4");
    EXPECT_TRUE(SaveTo(other, true).empty());
    EXPECT_FALSE(Exists(other));
}

TEST_F(Save, AFailedCopyIsToldAndLeavesTheSourceAlone) {
    {
        SCOPED_TRACE("destination folder missing");
        const std::wstring destination = Scratch(L"gone\\clip_(recovered).mp4");
        ExpectFailureTold(SaveTo(destination), destination);
        EXPECT_FALSE(Exists(destination));
    }
    {
        SCOPED_TRACE("no access: a folder of that name");
        const std::wstring destination = Scratch(L"folder_(recovered).mp4");
        ASSERT_TRUE(CreateDirectoryW(destination.c_str(), nullptr));
        ExpectFailureTold(SaveTo(destination), destination);
        EXPECT_EQ(GetFileAttributesW(destination.c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
    }
    {
        SCOPED_TRACE("destination in use");
        const std::wstring destination = Scratch(L"busy_(recovered).mp4");
        WriteBytes(destination, "busy");
        fw::UniqueHandle held(CreateFileW(destination.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ExpectFailureTold(SaveTo(destination), destination);
    }
    {
        SCOPED_TRACE("destination is the source itself");
        ExpectFailureTold(SaveTo(m_source), m_source);
        EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));
        // The same file spelled differently.
        std::wstring upper = m_source;
        for (wchar_t& c : upper)
            c = static_cast<wchar_t>(towupper(c));
        ExpectFailureTold(SaveTo(upper), upper);
        EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));
    }
    EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));
    {
        SCOPED_TRACE("source gone: the source is named");
        DeleteFileW(m_source.c_str());
        const std::wstring destination = Scratch(L"nosource_(recovered).mp4");
        const auto messages = SaveTo(destination);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text,
                  m_source + L" could not be read.\n" + fw::SystemReason(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(messages[0].type, kWarning);
        EXPECT_FALSE(Exists(destination));
    }
}

TEST_F(Save, AFailureIsNotCarriedIntoTheNextSave) {
    const std::wstring destination = Scratch(L"gone\\clip_(recovered).mp4");
    ExpectFailureTold(SaveTo(destination), destination);
    SaveTo(L"");
    support::RemoveEngine(L"ZMTS.exe");
    const auto messages = SaveTo(destination);
    ASSERT_EQ(messages.size(), 1u) << "only the missing engine";
    EXPECT_EQ(messages[0].text, MissingEngineMessage(EngineFile(L"ZMTS.exe")));
}

struct NoProgress : fw::Progress {
    void Set(int) override {}
};

TEST(SaveJobAlone, TheCopyKeepsOnlyTheAttributesOfALocalFile) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    // Offline, recall on open, pinned, unpinned, recall on data access and
    // not content indexed: Wine keeps none of them, so the filter is asked.
    EXPECT_EQ(CopiedAttributes(kKept | 0x1000 | 0x40000 | 0x80000 | 0x100000 | 0x400000 | 0x2000),
              kKept);
    EXPECT_EQ(CopiedAttributes(FILE_ATTRIBUTE_OFFLINE), DWORD{FILE_ATTRIBUTE_NORMAL});

    // The copy grows hidden; it takes the source's attributes as it gets its name.
    support::ScratchFolder folder(L"dravix-attributes");
    NoProgress progress;
    const std::atomic<bool> stop{false};
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_ARCHIVE}, kKept}) {
        const std::wstring source = folder.File(std::to_wstring(attributes));
        ASSERT_TRUE(WriteBytes(source, "video") && SetFileAttributesW(source.c_str(), attributes));
        EXPECT_TRUE(
            SaveJob({source, source + L".copy", {}}, progress, fw::StopToken(stop)).IsCompleted());
        EXPECT_EQ(GetFileAttributesW((source + L".copy").c_str()) & kKept, attributes);
    }
}

// The test runner mounts a small disk when it runs as root.
TEST(SaveJobAlone, ADiskThatFillsPartWayLeavesTheEarlierFileAndNothingElse) {
    const std::wstring folder = support::SmallDiskFolder();
    if (folder.empty())
        GTEST_SKIP() << "no small disk (the runner mounts one as root)";
    support::ScratchFile source(support::TempPath(L"dravix big.mp4"), 24ull << 20);
    support::ScratchFile earlier(folder + L"\\clip_(recovered).mp4");
    ASSERT_TRUE(WriteBytes(earlier.Path(), "the earlier copy"));

    NoProgress progress;
    const std::atomic<bool> stop{false};
    const fw::JobOutcome outcome =
        SaveJob({source.Path(), earlier.Path(), {}}, progress, fw::StopToken(stop));
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.path, earlier.Path());
    EXPECT_EQ(ReadBytes(earlier.Path()), "the earlier copy");
    EXPECT_EQ(support::FilesMatching(folder + L"\\*").size(), 3u) << "., .. and the earlier file";
}

} // namespace
