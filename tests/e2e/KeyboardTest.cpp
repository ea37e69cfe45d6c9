// The whole wizard with the keyboard alone, keys typed as a user types them,
// and what a screen reader in another process reads on the way.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using e2e::FocusOf;
using e2e::Type;
using e2e::TypeText;
using support::ReadBytes;

// Types a path into a chooser's name box, which has the keys, and Enter.
bool ChooseByKeys(e2e::App& app, const std::wstring& path) {
    HWND chooser = app.WaitForFileDialog();
    if (!chooser)
        return false;
    if (!e2e::WaitUntil([&] { return e2e::ClassOf(FocusOf(chooser)) == L"Edit"; })) {
        ADD_FAILURE() << "the chooser's name box has not the keys";
        return false;
    }
    TypeText(chooser, path);
    Type(chooser, VK_RETURN);
    return app.WaitForClose(chooser);
}

// Presses Tab (or Shift+Tab) `tabs` times; then control `id` must have the keys.
bool TabTo(e2e::App& app, int id, int tabs, bool back = false) {
    const HWND main = app.MainWindow();
    for (int i = 0; i < tabs; ++i)
        Type(main, VK_TAB, back ? VK_SHIFT : 0);
    if (e2e::WaitUntil([&] { return FocusOf(main) == app.Find(id); }, 3000))
        return true;
    ADD_FAILURE() << "control " << id << " has not the keys but " << GetDlgCtrlID(FocusOf(main));
    return false;
}

TEST(Keyboard, OpenRepairBrowseSaveAndBackWithoutAMouse) {
    const e2e::Videos videos(L"dravix keys", 200000);
    const std::wstring& source = videos.source.Path();
    const std::wstring& output = videos.output.Path();

    e2e::App app;
    ASSERT_TRUE(app.Start());
    const HWND main = app.MainWindow();
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetDlgCtrlID(FocusOf(main)) == ID_FIRST_PANE; }));

    // Ctrl+O, the name, Enter.
    Type(main, 'O', VK_CONTROL);
    ASSERT_TRUE(ChooseByKeys(app, source));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::Text(app.Find(IDC_SOURCE_PATH)) == source; }))
        << app.Describe();

    // Tab to Repair, which a screen reader here reads by name, and Space.
    ASSERT_TRUE(TabTo(app, IDC_REPAIR, 2));
    const support::AccessibleFacts repair = support::ReadAccessible(app.Find(IDC_REPAIR));
    EXPECT_EQ(repair.name, L"Repair");
    EXPECT_EQ(repair.role, ROLE_SYSTEM_PUSHBUTTON);
    Type(main, VK_SPACE);
    ASSERT_TRUE(app.WaitForSavePage());
    ASSERT_TRUE(e2e::WaitUntil([&] { return FocusOf(main) == app.Find(IDC_DEST_PATH); }));
    EXPECT_EQ(support::ReadAccessible(app.Find(IDC_DEST_PATH)).name,
              L"Destination directory path to save repaired Video file:");

    // Tab to Browse, Space, the name typed into the save chooser, Enter.
    ASSERT_TRUE(TabTo(app, IDC_BROWSE, 1));
    Type(main, VK_SPACE);
    ASSERT_TRUE(ChooseByKeys(app, videos.chosen));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::Text(app.Find(IDC_DEST_PATH)) == output; }))
        << "the field shows " << testing::PrintToString(e2e::Text(app.Find(IDC_DEST_PATH)));

    // Tab to Save, Enter; Enter again closes the message.
    ASSERT_TRUE(TabTo(app, IDC_SAVE, 4));
    Type(main, VK_RETURN);
    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box) << app.Describe();
    EXPECT_EQ(e2e::MessageBoxText(box), L"File Saved Successfully.");
    Type(box, VK_RETURN);
    ASSERT_TRUE(app.WaitForClose(box));
    EXPECT_TRUE(ReadBytes(output) == videos.bytes) << "the output is not a copy of the source";

    // Shift+Tab back to Back, Space: the source page again.
    ASSERT_TRUE(e2e::WaitUntil([&] { return FocusOf(main) == app.Find(IDC_DEST_PATH); }));
    ASSERT_TRUE(TabTo(app, IDC_BACK, 3, true));
    Type(main, VK_SPACE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.PageHolds(IDC_REPAIR); })) << app.Describe();
    EXPECT_TRUE(app.Close());
}

} // namespace
