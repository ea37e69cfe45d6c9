// Saving and previewing as a user meets them: the question before a file is
// replaced, a disk that fills up during the save, the keyboard, and a player
// that runs for a while or cannot run at all.
#include "support/E2E.h"

#include "framework/Files.h"
#include "res/resource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using support::ReadBytes;
using support::ScratchFile;
using support::TempPath;

using testing::StartsWith;

// A message box came within `ms`.
bool BoxWithin(e2e::App& app, DWORD ms) {
    return e2e::WaitUntil([&] { return app.HasMessageBox(); }, ms);
}

TEST(SaveSafety, TheReplaceQuestionIsAboutTheFileSaveWritesAndCtrlSSaves) {
    e2e::Videos videos(L"dravix e2e replace", 100000);
    const std::wstring& output = videos.output.Path();

    e2e::App app;
    ASSERT_TRUE(app.Start());
    const HWND main = app.MainWindow();
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetDlgCtrlID(e2e::FocusOf(main)) == ID_FIRST_PANE; }))
        << "the source page has not the keys: " << GetDlgCtrlID(e2e::FocusOf(main));
    ASSERT_TRUE(app.OpenSource(videos.source.Path()));
    ASSERT_TRUE(app.Repair());
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FocusOf(main) == app.Find(IDC_DEST_PATH); }))
        << "the destination field has the keys after Repair";
    ASSERT_TRUE(app.ChooseDestination(videos.chosen));
    EXPECT_EQ(e2e::Text(app.Find(IDC_DEST_PATH)), output);

    // No: the earlier file stays as it was and nothing else is said.
    ASSERT_TRUE(support::WriteBytes(output, "the earlier copy"));
    e2e::Click(app.Find(IDC_SAVE));
    EXPECT_EQ(app.Answer(IDNO), L"\"" + output + L"\" already exists.\nDo you want to replace it?");
    EXPECT_FALSE(BoxWithin(app, 500));
    EXPECT_EQ(ReadBytes(output), "the earlier copy");

    // Ctrl+S is Save on this page; Yes replaces the file.
    e2e::Type(main, 'S', VK_CONTROL);
    EXPECT_THAT(app.Answer(IDYES), StartsWith(L"\"" + output + L"\" already exists."));
    EXPECT_EQ(app.Answer(IDOK), L"File Saved Successfully.");
    EXPECT_TRUE(ReadBytes(output) == videos.bytes);

    // Nothing there: no question.
    DeleteFileW(output.c_str());
    e2e::Click(app.Find(IDC_SAVE));
    EXPECT_EQ(app.Answer(IDOK), L"File Saved Successfully.");

    // On the source page Ctrl+S does nothing.
    e2e::Click(app.Find(IDC_BACK));
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.PageHolds(IDC_REPAIR); }));
    e2e::Type(main, 'S', VK_CONTROL);
    EXPECT_FALSE(BoxWithin(app, 500));
    EXPECT_TRUE(app.Close());
}

// The test runner mounts a small disk when it runs as root.
TEST(SaveSafety, ADiskThatFillsDuringTheSaveLeavesTheEarlierFileAndNothingElse) {
    const std::wstring folder = support::SmallDiskFolder();
    if (folder.empty())
        GTEST_SKIP() << "no small disk (the runner mounts one as root)";
    constexpr std::uint64_t size = 24ull << 20;
    ScratchFile source(TempPath(L"dravix e2e large.mp4"), size);
    ScratchFile output(folder + L"\\clip_(recovered).mp4");
    ASSERT_TRUE(support::WriteBytes(output.Path(), "the earlier copy"));

    e2e::App app;
    ASSERT_TRUE(app.ReachTheSavePage(source.Path(), size));
    ASSERT_TRUE(app.ChooseDestination(folder + L"\\clip"));
    e2e::Click(app.Find(IDC_SAVE));
    EXPECT_THAT(app.Answer(IDYES), StartsWith(L"\"" + output.Path() + L"\" already exists."));
    EXPECT_THAT(app.Answer(IDOK, e2e::TimeoutFor(size)),
                StartsWith(L"The file could not be saved as \"" + output.Path() + L"\".\n"));
    EXPECT_EQ(ReadBytes(output.Path()), "the earlier copy");
    EXPECT_EQ(support::FilesMatching(folder + L"\\*").size(), 3u) << "., .. and the earlier file";
    EXPECT_TRUE(app.Close());
}

TEST(SaveSafety, AProgramKilledDuringASaveLeavesNothingBesideTheDestination) {
    // Repaired as a small file; saved from a source that the test holds.
    e2e::HeldSource source(L"dravix e2e killed save.mp4");
    support::ScratchFolder out(L"dravix-killed-save");
    e2e::App app;
    ASSERT_TRUE(app.ReachTheSavePage(source.Path()));
    ASSERT_TRUE(app.ChooseDestination(out.File(L"clip")));
    ASSERT_TRUE(source.Hold());
    e2e::Click(app.Find(IDC_SAVE));
    const auto partial = [&] { return support::FilesMatching(out.File(L"~*")); };
    ASSERT_TRUE(e2e::WaitUntil([&] { return !partial().empty(); })) << "no copy under way";
    app.Kill();
    EXPECT_TRUE(e2e::WaitUntil([&] { return partial().empty(); }))
        << "the unfinished copy outlived the program";
    EXPECT_FALSE(fw::PathExists(out.File(L"clip_(recovered).mp4")));
}

// The save engines are missing: the warning stands over the save's
// progress dialog.
TEST(SaveSafety, AMissingSaveEngineIsToldOverTheSavesProgressDialog) {
    support::ScratchFolder folder(L"dravix-no-save-engine");
    ASSERT_TRUE(e2e::InstallInto(folder.Path(), {L"ZMTE.exe"}));
    ScratchFile source(TempPath(L"dravix e2e no engine.mp4"), 1000);
    e2e::App app(folder.File(L"Dravix Video Repair.exe"));
    ASSERT_TRUE(app.ReachTheSavePage(source.Path()));
    ASSERT_TRUE(app.ChooseDestination(folder.File(L"clip")));
    e2e::Click(app.Find(IDC_SAVE));
    const HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box) << app.Describe();
    EXPECT_EQ(e2e::MessageBoxText(box),
              folder.File(L"ZMTS.exe") +
                  L" not found.\nPlease check whether software is properly installed.");
    const HWND dialog = GetWindow(box, GW_OWNER);
    ASSERT_TRUE(IsWindowVisible(dialog) && GetDlgItem(dialog, IDC_PROGRESS_TEXT))
        << "the warning stands alone; " << app.Describe();
    e2e::Press(box, IDOK);
    EXPECT_TRUE(app.WaitForClose(dialog));
    EXPECT_TRUE(app.Close());
}

// The program with a player of the test's own beside it.
class PlayerBeside : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::InstallInto(m_folder.Path(), {L"ZMTE.exe"}));
        ASSERT_TRUE(support::WriteBytes(m_source.Path(), "video"));
    }
    std::wstring Player() const { return m_folder.File(L"ZMTP.exe"); }

    support::ScratchFolder m_folder{L"dravix-player"};
    ScratchFile m_source{TempPath(L"dravix e2e preview.mp4")};
    e2e::App m_app{m_folder.File(L"Dravix Video Repair.exe")};
};

TEST_F(PlayerBeside, WhileThePlayerRunsTheProgramAnswersButTakesNoCommand) {
    const std::wstring probe = support::BuildFolder() + L"tests\\probe\\ProbePlayer.exe";
    ASSERT_TRUE(CopyFileW(probe.c_str(), Player().c_str(), FALSE));
    SetEnvironmentVariableW(L"DRAVIX_PROBE_WAIT_MS", L"3000");
    const bool reached = m_app.ReachTheSavePage(m_source.Path());
    SetEnvironmentVariableW(L"DRAVIX_PROBE_WAIT_MS", nullptr);
    ASSERT_TRUE(reached);
    const HWND main = m_app.MainWindow();

    e2e::Click(m_app.Find(IDC_PREVIEW));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(main); }))
        << "the frame stayed enabled while the player ran";
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
        << "the program did not answer while the player ran";
    m_app.Command(ID_FILE_SAVE_OUTPUT);
    m_app.Post(WM_CLOSE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 15000));
    EXPECT_FALSE(BoxWithin(m_app, 500)) << "a command or the close ran meanwhile";
    EXPECT_TRUE(m_app.Close());
}

TEST_F(PlayerBeside, APlayerThatIsNotAProgramIsTold) {
    ASSERT_TRUE(support::WriteBytes(Player(), "not a program"));
    ASSERT_TRUE(m_app.ReachTheSavePage(m_source.Path()));
    e2e::Click(m_app.Find(IDC_PREVIEW));
    EXPECT_THAT(m_app.Answer(IDOK), StartsWith(L"\"" + Player() + L"\" could not be started.\n"));
    EXPECT_TRUE(m_app.Close());
}

} // namespace
