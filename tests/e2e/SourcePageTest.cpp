// Choosing the damaged video as a user does: File, Open or the Add button,
// the real open dialog, and what the source page shows afterwards.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kHint[] = L"Please add corrput video file to repair.";

// A video-named file in a folder whose names hold blanks and letters beyond ASCII.
class ForeignPath {
public:
    ForeignPath() { support::WriteBytes(File(), ""); }
    std::wstring File() const { return m_folder.File(L"Urlaub Åsa 1.mp4"); }

private:
    support::ScratchFolder m_folder{L"Vidéos à réparer ñ"};
};

TEST(SourcePage, FileOpenTakesAPathWithBlanksAndForeignLettersThroughTheRealDialog) {
    ForeignPath path;
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();
    HWND text = app.Find(IDC_SOURCE_PATH);
    ASSERT_TRUE(text) << app.Describe();
    EXPECT_EQ(e2e::Text(text), kHint);

    app.Command(ID_FILE_OPEN);
    HWND chooser = app.WaitForFileDialog();
    ASSERT_TRUE(chooser) << app.Describe();
    EXPECT_EQ(GetWindow(chooser, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main));
    ASSERT_TRUE(e2e::ChooseFile(chooser, path.File()));
    EXPECT_TRUE(app.WaitForClose(chooser));

    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Text(text) == path.File(); }))
        << "the text line shows '" << testing::PrintToString(e2e::Text(text)) << "'";
    EXPECT_EQ(e2e::SizeOf(app.Find(IDC_ADD)).cy, 168) << "no check mark on the Add button";
    EXPECT_TRUE(app.Close());
}

TEST(SourcePage, AddRefusesAMissingFileAndKeepsThePage) {
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND text = app.Find(IDC_SOURCE_PATH);
    ASSERT_TRUE(text) << app.Describe();

    // The dialog itself refuses a missing folder; a missing file in an
    // existing one comes back to the program.
    const std::wstring missing = support::TempPath(L"gone away.mp4");
    DeleteFileW(missing.c_str());

    e2e::Click(app.Find(IDC_ADD));
    HWND chooser = app.WaitForFileDialog();
    ASSERT_TRUE(chooser) << app.Describe();
    ASSERT_TRUE(e2e::ChooseFile(chooser, missing));

    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box) << app.Describe();
    EXPECT_EQ(e2e::MessageBoxText(box), missing + L" file does not exists.");
    EXPECT_TRUE(e2e::MessageBoxHasIcon(box));
    e2e::Press(box, IDOK);
    EXPECT_TRUE(app.WaitForClose(box));
    EXPECT_EQ(e2e::Text(text), kHint);
    EXPECT_EQ(e2e::SizeOf(app.Find(IDC_ADD)).cy, 150);
    EXPECT_TRUE(app.Close());
}

} // namespace
