// Save: the refusal, the engine checks, the copy and how each outcome is told.
#include "SaveTestSupport.h"

#include "app/MainFrame.h"
#include "repair/DlgProgress.h"
#include "res/resource.h"

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

    // Saves to `destination` through the page's button and returns the messages shown.
    std::vector<fw::PromptScript::Record> SaveTo(const std::wstring& destination,
                                                 bool fromMenu = false) {
        m_page->m_editDest.SetText(destination);
        const size_t before = m_prompts.Messages().size();
        {
            support::Watchdog watchdog("the save command", 30000);
            if (fromMenu)
                SendMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(ID_FILE_SAVE_OUTPUT, 0), 0);
            else
                m_page->OnBnClickedSave();
        }
        auto messages = m_prompts.Messages();
        messages.erase(messages.begin(), messages.begin() + static_cast<ptrdiff_t>(before));
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
    // The warning is shown over the progress dialog, which closes after it.
    bool overTheDialog = false;
    m_prompts.OnMessage([&](const fw::PromptScript::Record&) {
        overTheDialog = FindWindowW(L"#32770", nullptr) &&
                        GetDlgItem(GetActiveWindow(), IDC_PROGRESS_TEXT) != nullptr;
        return IDOK;
    });
    auto messages = SaveTo(destination);
    m_prompts.OnMessage(nullptr);
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

TEST_F(Save, WritesAByteForByteCopyAndReplacesAnExistingFileWithoutAsking) {
    const std::wstring destination = Scratch(L"clip_(recovered).mp4");
    ExpectSaved(SaveTo(destination), destination);
    EXPECT_EQ(FieldText(), destination) << "the field keeps its text";

    // A longer file of that name is replaced, not merely overwritten in part.
    WriteBytes(destination, support::SampleBytes(200000, 3));
    ExpectSaved(SaveTo(destination), destination);
    EXPECT_TRUE(savetest::SameBytes(ReadBytes(m_source), m_sourceBytes));

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
        SCOPED_TRACE("source gone");
        DeleteFileW(m_source.c_str());
        const std::wstring destination = Scratch(L"nosource_(recovered).mp4");
        ExpectFailureTold(SaveTo(destination), destination);
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

} // namespace
