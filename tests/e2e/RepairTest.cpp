// Repairing as a user does: choose the video, press Repair, watch the
// progress dialog, stop it or let it finish, driven through the built program.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kStopQuestion[] = L"Are you sure, stop Repair?";

// A video-named file of a given size in the temporary folder, which the program also sees.
class Source : public support::ScratchFile {
public:
    Source(const wchar_t* name, size_t megabytes)
        : ScratchFile(support::TempPath(name), megabytes << 20), m_size(megabytes << 20) {}
    // Still there at its full size (the unit tests compare the bytes).
    bool Unchanged() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return GetFileAttributesExW(Path().c_str(), GetFileExInfoStandard, &data) &&
               (ULONGLONG{data.nFileSizeHigh} << 32 | data.nFileSizeLow) == m_size;
    }

private:
    ULONGLONG m_size;
};

using e2e::RepairTemporaryFiles;

bool OnSourcePage(const e2e::App& app) {
    return app.PageHolds(IDC_REPAIR);
}

TEST(Repair, OpenThenRepairMovesToTheSavePageAndLeavesNothingBehind) {
    ASSERT_TRUE(RepairTemporaryFiles().empty());
    Source source(L"dravix e2e clip.mp4", 8);
    e2e::App app;
    ASSERT_TRUE(app.StartWith(source.Path()));
    HWND repair = app.Find(IDC_REPAIR);
    ASSERT_TRUE(repair) << app.Describe();

    e2e::Click(repair);
    ASSERT_TRUE(OnSourcePage(app));
    EXPECT_TRUE(app.WaitForSavePage(8 << 20));
    EXPECT_FALSE(IsWindowVisible(repair));
    EXPECT_FALSE(app.HasMessageBox()) << "a message box came up";
    EXPECT_TRUE(RepairTemporaryFiles().empty());
    EXPECT_TRUE(source.Unchanged());
    EXPECT_TRUE(app.Close());
}

TEST(Repair, StopAnsweredNoGoesOnAndStopAnsweredYesReturnsToTheSourcePage) {
    ASSERT_TRUE(RepairTemporaryFiles().empty());
    // The job waits for the source's bytes until the test gives them.
    e2e::HeldSource source(L"dravix e2e long.mp4");
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND dialog = app.StartRepair(source);
    ASSERT_TRUE(dialog);
    HWND main = app.MainWindow();
    HWND repair = app.Find(IDC_REPAIR);
    EXPECT_EQ(e2e::Text(GetDlgItem(dialog, IDC_PROGRESS_TEXT)),
              L"Please wait video file repair process is active... ");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the frame is usable under the progress dialog";

    // Stop, No: the question goes and the job runs on.
    e2e::Click(GetDlgItem(dialog, IDC_STOP));
    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(e2e::MessageBoxText(box), kStopQuestion);
    EXPECT_TRUE(e2e::MessageBoxHasIcon(box));
    EXPECT_EQ(e2e::ButtonIds(box).size(), 2u);
    e2e::Press(box, IDNO);
    ASSERT_TRUE(app.WaitForClose(box));
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
    EXPECT_TRUE(OnSourcePage(app));

    // Stop, Yes: back to the source page, and the dialog goes once the job's
    // waiting read returns.
    EXPECT_TRUE(app.StopRepair(dialog, source));
    EXPECT_TRUE(OnSourcePage(app));
    EXPECT_TRUE(IsWindowVisible(repair));
    EXPECT_TRUE(e2e::WaitUntil([] { return RepairTemporaryFiles().empty(); }))
        << "a temporary file was left beside the program";
    EXPECT_TRUE(app.Close());
}

} // namespace
