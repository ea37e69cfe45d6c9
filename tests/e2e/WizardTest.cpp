// The whole wizard as a user goes through it: choose the video, repair it,
// choose where it goes, save it, and go back for the next one.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using support::ReadBytes;

// Menu states cannot be read from another process under Wine, so this asks
// the way a user finds out: File, Save, then File, Open as a marker. Posted
// commands run in order, so once the open chooser is up the Save has been
// handled; a disabled Save shows nothing before it.
bool SaveIgnored(e2e::App& app) {
    app.Command(ID_FILE_SAVE_OUTPUT);
    app.Command(ID_FILE_OPEN);
    HWND first = app.WaitForWindow(
        [](HWND window) { return e2e::IsMessageBox(window) || e2e::ClassOf(window) == L"#32770"; },
        L"a message box or the open chooser");
    if (!first)
        return false;
    const bool chooser = !e2e::IsMessageBox(first);
    e2e::Press(first, chooser ? IDCANCEL : IDOK);
    app.WaitForClose(first);
    if (!chooser) {
        // The Save answered; close the chooser too if Open was enabled.
        HWND next = nullptr;
        e2e::WaitUntil(
            [&] {
                for (HWND window : app.Windows())
                    if (e2e::ClassOf(window) == L"#32770" && !e2e::IsMessageBox(window))
                        next = window;
                return next != nullptr;
            },
            2000);
        if (next) {
            e2e::Press(next, IDCANCEL);
            app.WaitForClose(next);
        }
    }
    return chooser;
}

TEST(Wizard, OpenRepairBrowseSaveThenBackToTheStart) {
    const e2e::Videos videos(L"dravix wizard", 300000);
    const std::string& bytes = videos.bytes;
    const std::wstring& output = videos.output.Path();

    e2e::App app;
    ASSERT_TRUE(app.Start());

    // Open
    ASSERT_TRUE(app.OpenSource(videos.source.Path()));

    // Repair
    ASSERT_TRUE(app.Repair());
    HWND field = app.Find(IDC_DEST_PATH);
    EXPECT_EQ(e2e::Text(field), L"");

    // Browse, through the real save chooser
    ASSERT_TRUE(app.ChooseDestination(videos.chosen));
    EXPECT_EQ(e2e::Text(field), output);

    // Save
    e2e::Click(app.Find(IDC_SAVE));
    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box) << app.Describe();
    EXPECT_EQ(e2e::MessageBoxText(box), L"File Saved Successfully.");
    EXPECT_TRUE(e2e::MessageBoxHasIcon(box));
    EXPECT_EQ(app.Find(IDC_PROGRESS_BAR), nullptr);
    for (HWND window : app.Windows())
        EXPECT_EQ(GetDlgItem(window, IDC_PROGRESS_TEXT), nullptr)
            << "the progress dialog is still up under the success message";
    e2e::Press(box, IDOK);
    ASSERT_TRUE(app.WaitForClose(box));
    EXPECT_TRUE(ReadBytes(output) == bytes) << "the output is not a copy of the source";
    EXPECT_TRUE(ReadBytes(videos.source.Path()) == bytes) << "the source changed";

    // File, Save does the same again.
    DeleteFileW(output.c_str());
    app.Command(ID_FILE_SAVE_OUTPUT);
    EXPECT_EQ(app.Answer(IDOK), L"File Saved Successfully.");
    EXPECT_TRUE(ReadBytes(output) == bytes) << "File, Save wrote no copy";

    // Back
    e2e::Click(app.Find(IDC_BACK));
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.PageHolds(IDC_REPAIR); }))
        << "the source page did not come back; " << app.Describe();
    EXPECT_EQ(e2e::Text(field), L"");
    EXPECT_TRUE(SaveIgnored(app)) << "File, Save still works on the source page";

    EXPECT_TRUE(app.Close());
}

} // namespace
