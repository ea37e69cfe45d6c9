// What happens to a running repair when the world around it moves: another
// program asks the window to close, the process is killed, the disk fills up,
// the program lives in a very deep folder.
#include "support/E2E.h"

#include "framework/Files.h"
#include "repair/RepairJob.h"
#include "res/resource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::RepairTemporaryFiles;

TEST(JobSafety, CloseRequestsFromOutsideWaitForTheRepairWhichEndsNormally) {
    e2e::HeldSource source(L"dravix e2e closing.mp4");
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND dialog = app.StartRepair(source);
    ASSERT_TRUE(dialog) << app.Describe();
    HWND main = app.MainWindow();
    PostMessageW(main, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD_PTR query = TRUE;
    ASSERT_TRUE(
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &query));
    EXPECT_EQ(query, static_cast<DWORD_PTR>(FALSE)) << "the session's end was not held off";
    ASSERT_TRUE(IsWindowVisible(dialog));

    source.End();
    bool quiet = true;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            quiet = quiet && !app.HasMessageBox();
            return app.PageHolds(IDC_BROWSE);
        },
        e2e::kTimeout))
        << "the repair did not reach the save page; " << app.Describe();
    EXPECT_TRUE(quiet) << "a message box came up";
    EXPECT_TRUE(app.IsRunning());
    EXPECT_TRUE(app.Close());
}

TEST(JobSafety, AProgramKilledDuringARepairLeavesNoTemporaryFile) {
    ASSERT_TRUE(RepairTemporaryFiles().empty());
    e2e::HeldSource source(L"dravix e2e killed.mp4");
    e2e::App app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.StartRepair(source));
    ASSERT_TRUE(e2e::WaitUntil([] { return !RepairTemporaryFiles().empty(); }))
        << "no temporary file came";
    app.Kill();
    EXPECT_TRUE(e2e::WaitUntil([] { return RepairTemporaryFiles().empty(); }))
        << "the temporary file outlived the program";
}

TEST(JobSafety, AtStartOnlyTheRepairsOwnLeftoversGoNotAUsersFileOfTheSameName) {
    const std::wstring folder = e2e::BinFolder() + L"\\";
    const std::wstring leftover = folder + fw::CreateGuidString() + L".mp4";
    ASSERT_TRUE(support::WriteBytes(leftover, "an old copy"));
    ASSERT_TRUE(SetFileAttributesW(leftover.c_str(), kTemporaryFileMark));
    support::ScratchFile users(folder + fw::CreateGuidString() + L".mp4");
    ASSERT_TRUE(support::WriteBytes(users.Path(), "the user's video"));

    e2e::App app;
    ASSERT_TRUE(app.Start());
    EXPECT_FALSE(fw::PathExists(leftover));
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(support::ReadBytes(users.Path()), "the user's video");
    SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(leftover.c_str());
}

// The test runner mounts a small disk when it runs as root; the program runs
// from there, so its temporary file fills the disk.
TEST(JobSafety, ATemporaryFileThatCannotBeWrittenIsToldAndTheSourcePageStays) {
    const std::wstring folder = support::SmallDiskFolder();
    if (folder.empty())
        GTEST_SKIP() << "no small disk (the runner mounts one as root); the job-level tests "
                        "hand the fault in";
    ASSERT_TRUE(e2e::InstallInto(folder, {L"ZMTE.exe"}));
    constexpr std::uint64_t size = 16ull << 20;
    support::ScratchFile source(support::TempPath(L"dravix e2e big.mp4"), size);

    e2e::App app(folder + L"\\Dravix Video Repair.exe");
    ASSERT_TRUE(app.StartWith(source.Path()));
    ASSERT_TRUE(app.StartRepair());
    const std::wstring text = app.Answer(IDOK, e2e::TimeoutFor(size));
    EXPECT_THAT(text, testing::StartsWith(L"\"" + folder + L"\\{"));
    EXPECT_THAT(text, testing::HasSubstr(L"\" could not be written.\n"));
    EXPECT_TRUE(app.PageHolds(IDC_REPAIR));
    EXPECT_TRUE(RepairTemporaryFiles(folder).empty());
    EXPECT_TRUE(app.Close());
    for (const wchar_t* name : {L"Dravix Video Repair.exe", L"ZMTE.exe"})
        DeleteFileW((folder + L"\\" + name).c_str());
}

// tests/e2e/deep-folder.sh starts the program from a folder whose path is
// longer than MAX_PATH (this Wine cannot start a program there itself) and
// runs this test against it.
TEST(DeepFolder, TheProgramThereRepairsAndFindsItsEngine) {
    if (!GetEnvironmentVariableW(L"DRAVIX_DEEP_FOLDER", nullptr, 0))
        GTEST_SKIP() << "run by tests/e2e/deep-folder.sh";
    support::ScratchFile source(support::TempPath(L"dravix e2e deep.mp4"), 1 << 20);
    e2e::App app;
    ASSERT_TRUE(app.Attach());
    ASSERT_TRUE(app.OpenSource(source.Path()));
    e2e::Click(app.Find(IDC_REPAIR));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.PageHolds(IDC_BROWSE) || app.HasMessageBox(); }));
    EXPECT_TRUE(app.PageHolds(IDC_BROWSE)) << app.Describe();
    EXPECT_TRUE(app.Close());
}

} // namespace
