// The About box as a user reaches it: Help, About, then Escape.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(About, OpensFromTheHelpMenuOverTheMainWindowAndClosesWithEscape) {
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();

    app.Command(ID_APP_ABOUT);
    HWND box = app.WaitForDialog(L"About Dravix Video Repair");
    ASSERT_TRUE(box) << app.Describe();
    EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the box is not modal";
    EXPECT_EQ(e2e::Text(GetDlgItem(box, IDC_HOMEPAGE_LINK)), L"Software Homepage");
    const POINT boxCentre = CentreOf(box), mainCentre = CentreOf(main);
    EXPECT_NEAR(boxCentre.x, mainCentre.x, 2);
    EXPECT_NEAR(boxCentre.y, mainCentre.y, 2);

    // The key goes to the focused OK button; the dialog's loop turns it into Cancel.
    PostMessageW(GetDlgItem(box, IDC_ABOUT_OK), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(app.WaitForClose(box));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
    EXPECT_TRUE(app.Close());
}

} // namespace
