// Commands reach the frame, then the application, and only while they can run: a disabled command
// is greyed in the menu and ignored when it comes from the menu, an accelerator or a status-bar
// link.
#include "controls/Controls.h"
#include "framework/Application.h"
#include "framework/Frame.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kFrameAndApp = 40001;
constexpr UINT kLinkCommand = 40002;

class TestApp : public fw::Mapped<TestApp, fw::Application> {
public:
    void OnHelp() { ++help; }
    void OnFrameAndApp() { ++frameAndApp; }
    int help = 0;
    int frameAndApp = 0;
    static const fw::MessageTable<TestApp> kMessages;
};

const fw::MessageTable<TestApp> TestApp::kMessages = {
    fw::msg::Command<ID_HELP_HOW_TO_USE, &TestApp::OnHelp>(),
    fw::msg::Command<kFrameAndApp, &TestApp::OnFrameAndApp>(),
};

class TestFrame : public fw::Mapped<TestFrame, fw::Frame> {
public:
    void OnOpen() { ++opens; }
    bool CanRun(UINT id) const override {
        return id == ID_FILE_OPEN ? openEnabled : Mapped::CanRun(id);
    }
    void OnLink() { ++links; }
    void OnFrameAndApp() { ++frameAndApp; }

    bool openEnabled = true;
    int opens = 0;
    int links = 0;
    int frameAndApp = 0;

private:
    friend Mapped;
    static const fw::MessageTable<TestFrame> kMessages;
};

const fw::MessageTable<TestFrame> TestFrame::kMessages = {
    fw::msg::Command<ID_FILE_OPEN, &TestFrame::OnOpen>(),
    fw::msg::Command<kLinkCommand, &TestFrame::OnLink>(),
    fw::msg::Command<kFrameAndApp, &TestFrame::OnFrameAndApp>(),
};

bool IsGreyed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Holds Ctrl down for this thread while it lives, as TranslateAccelerator reads it.
class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(m_saved);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        SetKeyboardState(keys);
    }
    ~CtrlHeld() { SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

class CommandRouting : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame.Create(
            {.rect = {0, 0, 400, 300}, .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU}));
        ASSERT_TRUE(menuBar.Create(frame.Handle(), IDR_MAINFRAME, CColorThemeManager::kOtherBars));
        frame.LoadAcceleratorTable(IDR_MAINFRAME);
        ASSERT_TRUE(view.CreateView(frame.Handle(), fw::kFirstPaneId, WS_CHILD | WS_VISIBLE, {}));
        frame.SetActiveView(&view);
        app.SetMainFrame(&frame);
    }
    void TearDown() override {
        // Not the main window any more, so its end posts no WM_QUIT.
        app.SetMainFrame(nullptr);
    }
    void Menu(UINT id, WORD code = 0) { frame.Send(WM_COMMAND, MAKEWPARAM(id, code), 0); }
    HMENU FileMenu() {
        HMENU file = GetSubMenu(GetMenu(frame.Handle()), 0);
        frame.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
        return file;
    }

    TestApp app;
    TestFrame frame;
    fw::MenuBar menuBar;
    fw::View view;
};

TEST_F(CommandRouting, DisabledCommandIsGreyedAndIgnoredFromMenuAndAccelerator) {
    frame.openEnabled = false;
    EXPECT_TRUE(IsGreyed(FileMenu(), ID_FILE_OPEN));
    Menu(ID_FILE_OPEN, 0);
    Menu(ID_FILE_OPEN, 1);
    {
        CtrlHeld ctrl;
        MSG key{frame.Handle(), WM_KEYDOWN, 'O', 0x00180001, 0, {}};
        app.PreTranslate(key);
    }
    EXPECT_EQ(frame.opens, 0);

    frame.openEnabled = true;
    EXPECT_FALSE(IsGreyed(FileMenu(), ID_FILE_OPEN));
    Menu(ID_FILE_OPEN, 0);
    Menu(ID_FILE_OPEN, 1);
    EXPECT_EQ(frame.opens, 2);
    CtrlHeld ctrl;
    MSG key{view.Handle(), WM_KEYDOWN, 'O', 0x00180001, 0, {}};
    EXPECT_TRUE(app.PreTranslate(key)) << "Ctrl+O in the page was not translated";
    EXPECT_EQ(frame.opens, 3);
}

TEST_F(CommandRouting, CommandsWithoutHandlerAreGreyed) {
    HMENU file = FileMenu();
    EXPECT_TRUE(IsGreyed(file, ID_FILE_REPAIR));
    EXPECT_TRUE(IsGreyed(file, ID_FILE_SAVE_OUTPUT));
    HMENU help = GetSubMenu(GetMenu(frame.Handle()), 1);
    frame.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(help), MAKELPARAM(1, FALSE));
    EXPECT_FALSE(IsGreyed(help, ID_HELP_HOW_TO_USE)) << "the application's handler was not found";
    EXPECT_TRUE(IsGreyed(help, ID_APP_ABOUT));
}

TEST_F(CommandRouting, TheFrameComesBeforeTheApplication) {
    Menu(kFrameAndApp);
    EXPECT_EQ(frame.frameAndApp, 1);
    EXPECT_EQ(app.frameAndApp, 0);
    Menu(ID_HELP_HOW_TO_USE);
    EXPECT_EQ(app.help, 1);

    // A frame that is no application's main frame runs only its own commands.
    app.SetMainFrame(nullptr);
    Menu(ID_HELP_HOW_TO_USE);
    EXPECT_EQ(app.help, 1);
}

TEST_F(CommandRouting, StatusBarLinkIssuesItsCommandOnClick) {
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(frame.Handle(), ID_STATUS_BAR, CColorThemeManager::kStatusBar));
    bar.AddLabel(L"Visit:");
    bar.AddSeparator();
    bar.AddLink(L"Software Homepage", kLinkCommand, L"https://www.dravix.example/");
    frame.SetStatusBar(bar.Handle(), CStatusBar::kHeight);
    frame.RecalcLayout();

    const RECT label = bar.ElementRect(0);
    const RECT link = bar.ElementRect(2);
    EXPECT_GT(link.left, label.right - 1);
    const LPARAM onLabel = MAKELPARAM(label.left + 2, label.top + 5);
    const LPARAM onLink = MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    const auto click = [&](LPARAM down, LPARAM up) {
        bar.Send(WM_LBUTTONDOWN, MK_LBUTTON, down);
        bar.Send(WM_LBUTTONUP, 0, up);
    };
    click(onLabel, onLabel);
    EXPECT_EQ(frame.links, 0) << "a click on a label issued the link's command";
    // The link opens only when the button goes down and comes up on it.
    bar.Send(WM_LBUTTONUP, 0, onLink);
    click(onLabel, onLink);
    click(onLink, onLabel);
    EXPECT_EQ(frame.links, 0);
    click(onLink, onLink);
    EXPECT_EQ(frame.links, 1);

    // The bar sits at the bottom and the first pane fills the rest.
    const RECT client = frame.ClientRect();
    const RECT barRect = bar.RectInParent();
    const RECT pane = view.RectInParent();
    EXPECT_EQ(barRect.bottom, client.bottom);
    EXPECT_EQ(barRect.top, client.bottom - CStatusBar::kHeight);
    EXPECT_EQ(pane.top, 0);
    EXPECT_EQ(pane.bottom, barRect.top);
    EXPECT_EQ(pane.right, client.right);
}

} // namespace
