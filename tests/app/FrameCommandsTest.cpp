// The frame's commands by page: Open and Repair belong to the source page,
// Save to the save page; a command of the other page is greyed and ignored
// however it arrives. Closing asks first, and only Yes closes.
#include "support/Testing.h"

#include "framework/Prompts.h"
#include "res/resource.h"
#include "save/SaveOptionView.h"

namespace {

constexpr wchar_t kCloseQuestion[] = L" Are you sure,close the application?";

class FrameCommands : public support::Workspace {
protected:
    // Opens a pop-up of the menu bar as the system does, so the frame updates it.
    HMENU Popup(int index) {
        HMENU popup = GetSubMenu(GetMenu(Frame()), index);
        SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                     MAKELPARAM(index, FALSE));
        return popup;
    }
    static bool Greyed(HMENU menu, UINT id) {
        return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
    }
    // Ctrl+key pressed in the current page, through the message loop's translation.
    void PressCtrl(WORD key) {
        support::PressKey(app, frame->ActiveView()->Handle(), key, VK_CONTROL);
    }
};

TEST_F(FrameCommands, MenuGreysTheCommandsOfTheOtherPage) {
    for (int page : {0, 1, 0}) {
        SCOPED_TRACE(testing::Message() << "page " << page);
        GoTo(page);
        HMENU file = Popup(0);
        EXPECT_EQ(Greyed(file, ID_FILE_OPEN), page == 1);
        EXPECT_EQ(Greyed(file, ID_FILE_REPAIR), page == 1);
        EXPECT_EQ(Greyed(file, ID_FILE_SAVE_OUTPUT), page == 0);
        EXPECT_FALSE(Greyed(file, ID_APP_EXIT));
        HMENU help = Popup(1);
        EXPECT_FALSE(Greyed(help, ID_HELP_HOW_TO_USE));
        EXPECT_FALSE(Greyed(help, ID_APP_ABOUT));
    }
    // The flag decides, whatever page is shown; a value other than 0 or 1 disables all three.
    state.m_bSourcePageActive = 2;
    HMENU file = Popup(0);
    EXPECT_TRUE(Greyed(file, ID_FILE_OPEN));
    EXPECT_TRUE(Greyed(file, ID_FILE_REPAIR));
    EXPECT_TRUE(Greyed(file, ID_FILE_SAVE_OUTPUT));
}

TEST_F(FrameCommands, CommandsOfTheOtherPageDoNothingFromMenuOrKeyboard) {
    fw::PromptScript script;
    GoTo(1);
    for (WORD code : {0, 1}) {
        Command(ID_FILE_OPEN, code);
        Command(ID_FILE_REPAIR, code);
    }
    PressCtrl('O');
    GoTo(0);
    Command(ID_FILE_SAVE_OUTPUT, 0);
    Command(ID_FILE_SAVE_OUTPUT, 1);
    PressCtrl('S'); // Save, which belongs to the save page
    support::PumpMessages();
    EXPECT_TRUE(script.Records().empty())
        << "a disabled command asked: " << testing::PrintToString(script.Records().size());
    EXPECT_EQ(frame->ActiveView(), app.Page(0));
    EXPECT_EQ(state.m_bSourcePageActive, 1);

    // Routing as such works: Exit still arrives and asks its question.
    Command(ID_APP_EXIT);
    EXPECT_EQ(script.Messages().size(), 1u);
}

TEST_F(FrameCommands, CtrlSSavesOnTheSavePageAndTheCurrentPageHasTheKeys) {
    fw::PromptScript script;
    EXPECT_EQ(GetFocus(), app.Page(0)->Handle()) << "after start-up";
    GoTo(1);
    EXPECT_EQ(GetFocus(), GetDlgItem(app.SavePage()->Handle(), IDC_DEST_PATH));
    PressCtrl('S');
    ASSERT_EQ(script.Messages().size(), 1u) << "Ctrl+S did not run Save";
    EXPECT_EQ(script.Messages()[0].text, L"Please provide path to save the output file.");
    GoTo(0);
    EXPECT_EQ(GetFocus(), app.Page(0)->Handle());

    // A disabled frame (a dialog or the player is up) runs no command at all.
    GoTo(1);
    EnableWindow(Frame(), FALSE);
    Command(ID_FILE_SAVE_OUTPUT);
    Command(ID_APP_EXIT);
    EnableWindow(Frame(), TRUE);
    EXPECT_EQ(script.Messages().size(), 1u);
}

TEST_F(FrameCommands, CloseAsksAndNoKeepsEverythingYesDestroysTheFrame) {
    fw::PromptScript script;
    HWND window = Frame();
    // The close box, Alt+F4 and the system menu's Close, File Exit and WM_CLOSE itself.
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Command(ID_APP_EXIT);
    SendMessageW(window, WM_CLOSE, 0, 0);
    support::PumpMessages();

    const auto asked = script.Messages();
    ASSERT_EQ(asked.size(), 3u);
    for (const auto& message : asked) {
        EXPECT_EQ(message.text, kCloseQuestion);
        EXPECT_EQ(message.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    }
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(frame->ActiveView(), app.Page(0));
    EXPECT_EQ(app.Page(0)->Id(), ID_FIRST_PANE);
    EXPECT_EQ(state.m_bSourcePageActive, 1);

    script.AnswerMessage(IDYES);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(support::PumpMessages()) << "the message loop was not told to end";
}

// An installer that replaces the program asks it to close through the Restart
// Manager: the idle program agrees and ends without the close question.
TEST_F(FrameCommands, AnIdleProgramAgreesToCloseForAnInstallerAndEndsWithoutAsking) {
    fw::PromptScript script;
    HWND window = Frame();
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
    // Under a box of its own the quit message ends the box's loop first.
    EnableWindow(window, FALSE);
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_TRUE(support::PumpMessages()) << "the loops were not told to end";
    EnableWindow(window, TRUE);

    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(script.Messages().empty());
    EXPECT_TRUE(support::PumpMessages()) << "the message loop was not told to end";
}

} // namespace
