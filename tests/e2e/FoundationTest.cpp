// The program as a user meets it: its window, the single-instance rule and
// the close question, driven from outside through the built executable.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr wchar_t kTitle[] = L"Dravix Video Repair";
constexpr wchar_t kCloseQuestion[] = L" Are you sure,close the application?";

std::vector<int> Sorted(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(Foundation, MainWindowHasItsTitleFixedSizeAndNoSizingFrame) {
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();
    EXPECT_EQ(e2e::Text(main), kTitle);

    EXPECT_EQ(e2e::SizeOf(main), (SIZE{840, 520}));

    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window can be resized";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "the window can be maximised";
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);

    // Centred on the work area of its monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT rect{};
    GetWindowRect(main, &rect);
    EXPECT_NEAR(rect.left - work.left, work.right - rect.right, 1);
    EXPECT_NEAR(rect.top - work.top, work.bottom - rect.bottom, 1);

    // The source page fills the client area above the status bar.
    HWND page = GetDlgItem(main, ID_FIRST_PANE);
    HWND statusBar = GetDlgItem(main, ID_STATUS_BAR);
    ASSERT_TRUE(page && statusBar);
    EXPECT_TRUE(IsWindowVisible(page));
    RECT client{}, pageRect{}, barRect{};
    GetClientRect(main, &client);
    GetWindowRect(page, &pageRect);
    GetWindowRect(statusBar, &barRect);
    EXPECT_EQ(pageRect.bottom, barRect.top);
    EXPECT_EQ(pageRect.right - pageRect.left, client.right);
    // The save page waits beside it, covering nothing.
    HWND savePage = GetDlgItem(main, ID_SECOND_PANE);
    ASSERT_TRUE(savePage);
    RECT saveRect{};
    GetWindowRect(savePage, &saveRect);
    EXPECT_TRUE(IsRectEmpty(&saveRect));

    EXPECT_TRUE(app.Close());
    EXPECT_EQ(app.ExitCode(), 0u);
}

TEST(Foundation, SecondCopyIsRefusedWhileTheFirstRunsOnAndStartsAgainAfterIt) {
    e2e::App first;
    ASSERT_TRUE(first.Start());
    HWND firstWindow = first.MainWindow();

    e2e::App second;
    ASSERT_TRUE(second.Launch());
    HWND box = second.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(e2e::MessageBoxText(box), L"Another instance of the application is already running.");
    EXPECT_EQ(e2e::Text(box), kTitle);
    EXPECT_TRUE(e2e::MessageBoxHasIcon(box));
    EXPECT_EQ(e2e::ButtonIds(box), std::vector<int>{IDOK});
    EXPECT_EQ(second.MainWindow(), nullptr);
    EXPECT_EQ(second.Windows().size(), 1u) << second.Describe();

    // The running copy is neither told nor disturbed.
    EXPECT_EQ(first.MainWindow(), firstWindow);
    EXPECT_TRUE(IsWindowEnabled(firstWindow));
    EXPECT_EQ(first.Windows().size(), 1u) << first.Describe();

    e2e::Press(box, IDOK);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(first.MainWindow(), firstWindow);

    // Once the first copy has gone, the name is free again.
    ASSERT_TRUE(first.Close());
    e2e::App third;
    ASSERT_TRUE(third.Start());
    EXPECT_TRUE(third.Close());
}

TEST(Foundation, ClosingAsksFirstAndOnlyYesEndsTheProgram) {
    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();

    // The close box: answered No, nothing changes.
    app.Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(e2e::MessageBoxText(box), kCloseQuestion);
    EXPECT_EQ(e2e::Text(box), kTitle);
    EXPECT_TRUE(e2e::MessageBoxHasIcon(box));
    EXPECT_EQ(Sorted(e2e::ButtonIds(box)), Sorted({IDYES, IDNO}));
    EXPECT_FALSE(IsWindowEnabled(main)) << "the question is not modal to the main window";
    e2e::Press(box, IDNO);
    ASSERT_TRUE(app.WaitForClose(box));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
    EXPECT_TRUE(app.IsRunning());
    EXPECT_EQ(app.MainWindow(), main);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, ID_FIRST_PANE)));

    // File, Exit asks the same; Yes ends the program.
    app.Command(ID_APP_EXIT);
    box = app.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(e2e::MessageBoxText(box), kCloseQuestion);
    e2e::Press(box, IDYES);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}

} // namespace
