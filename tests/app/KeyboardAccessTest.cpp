// The pages' picture buttons as a keyboard user sees them and as a screen
// reader reads them. Tab order and the keys are walked end to end.
#include "support/Testing.h"

#include "app/WebAddresses.h"
#include "framework/Prompts.h"
#include "res/resource.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>
#include <vector>

namespace {

constexpr wchar_t kDestination[] = L"C:\\out\\clip_(recovered).mp4";

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

class PageAccess : public support::Workspace {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Workspace::SetUp());
        SetWindowSubclass(Frame(), TakeHomePage, 1, reinterpret_cast<DWORD_PTR>(&homePages));
    }
    // The frame's home page commands are counted here, and open no browser.
    static LRESULT CALLBACK TakeHomePage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR count) {
        if (message != WM_COMMAND || LOWORD(wParam) != ID_VISIT_HOMEPAGE)
            return DefSubclassProc(window, message, wParam, lParam);
        ++*reinterpret_cast<int*>(count);
        return 0;
    }
    HWND Item(int id) const { return frame->ActiveView()->Item(id).Handle(); }
    // The button as the system paints it.
    std::vector<COLORREF> Render(int id) {
        support::Canvas canvas(140, 60);
        SendMessageW(Item(id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        return canvas.Block(140, 60);
    }
    void ExpectButton(int id, const std::wstring& name, const std::wstring& tip) {
        const support::AccessibleFacts facts = support::ReadAccessible(Item(id));
        EXPECT_EQ(facts.name, name);
        EXPECT_EQ(facts.role, ROLE_SYSTEM_PUSHBUTTON) << name;
        EXPECT_EQ(facts.description, tip) << name;
        EXPECT_EQ(facts.defaultAction, L"Press") << name;
    }

    fw::PromptScript prompts;
    int homePages = 0;
};

TEST_F(PageAccess, AFocusedButtonShowsACueAfterTabButNotAfterAClick) {
    const std::vector<COLORREF> add = Render(IDC_ADD), repair = Render(IDC_REPAIR);

    // A click gives the focus without a cue (its chooser is cancelled).
    SendMessageW(Item(IDC_ADD), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(Item(IDC_ADD), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(GetFocus(), Item(IDC_ADD));
    EXPECT_TRUE(Render(IDC_ADD) == add) << "a cue after a click";

    MSG tab{};
    tab.hwnd = GetFocus();
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    ASSERT_TRUE(app.PreTranslate(tab));
    ASSERT_EQ(GetFocus(), Item(IDC_REPAIR));
    EXPECT_FALSE(Render(IDC_REPAIR) == repair) << "no cue after Tab";
    EXPECT_TRUE(Render(IDC_ADD) == add) << "the cue goes with the focus";
}

TEST_F(PageAccess, AScreenReaderReadsNamesRolesAndValuesOfBothPages) {
    ExpectButton(IDC_ADD, L"Add video", L"Please add corrupted video file to repair.");
    ExpectButton(IDC_REPAIR, L"Repair", L"Start the Repair process.");
    const support::AccessibleFacts line = support::ReadAccessible(Item(IDC_SOURCE_PATH));
    EXPECT_EQ(line.role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(line.name, L"Please add corrput video file to repair.");

    GoTo(1);
    ExpectButton(IDC_BROWSE, L"Browse",
                 L"Please select destination path to save the repaired video file.");
    ExpectButton(IDC_BACK, L"Back", L"Back to previous wizard.");
    ExpectButton(IDC_PREVIEW, L"Preview", L"Preview the repaired video file.");
    ExpectButton(IDC_SAVE, L"Save", L"Save the repaired video file.");
    EXPECT_EQ(fw::WindowRef(Item(IDC_SAVE)).GetText(), L" ") << "the caption stays";

    SetWindowTextW(Item(IDC_DEST_PATH), kDestination);
    const support::AccessibleFacts field = support::ReadAccessible(Item(IDC_DEST_PATH));
    EXPECT_EQ(field.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(field.name, L"Destination directory path to save repaired Video file:");
    EXPECT_EQ(field.value, kDestination);

    // The default action presses the button.
    ASSERT_TRUE(support::DoAccessibleDefaultAction(Item(IDC_BACK)));
    EXPECT_TRUE(support::PumpUntil([&] { return state.m_bSourcePageActive == 1; }));
}

TEST_F(PageAccess, TheStatusBarLinkReadsLikeTheAboutBoxLinksAndJumps) {
    const HWND bar = frame->m_wndStatusBar.Handle();
    const std::vector<support::AccessibleFacts> parts = support::ReadAccessibleChildren(bar);
    // The blank spacers are no parts.
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, L"Visit:");
    EXPECT_EQ(parts[0].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(parts[1].name, L"Software Homepage");
    EXPECT_EQ(parts[1].role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(parts[1].value, kHomePageUrl);
    EXPECT_EQ(parts[1].defaultAction, L"Jump");

    ASSERT_TRUE(support::DoAccessibleDefaultAction(bar, 2));
    EXPECT_TRUE(support::PumpUntil([&] { return homePages == 1; }));
}

// As a click would, a default action does nothing while the frame takes no
// input: whether it was disabled before the client asked or before the
// action's turn came.
TEST_F(PageAccess, DefaultActionsDoNothingWhileTheFrameIsDisabled) {
    GoTo(1);
    SetWindowTextW(Item(IDC_DEST_PATH), kDestination);
    const std::pair<HWND, long> targets[] = {{Item(IDC_BACK), CHILDID_SELF},
                                             {Item(IDC_BROWSE), CHILDID_SELF},
                                             {frame->m_wndStatusBar.Handle(), 2}};
    for (const auto& [window, child] : targets) {
        SCOPED_TRACE(GetDlgCtrlID(window));
        EnableWindow(Frame(), FALSE);
        EXPECT_FALSE(support::DoAccessibleDefaultAction(window, child));
        EnableWindow(Frame(), TRUE);
        ASSERT_TRUE(support::DoAccessibleDefaultAction(window, child));
        EnableWindow(Frame(), FALSE);
        support::PumpMessages();
        EnableWindow(Frame(), TRUE);
    }
    EXPECT_EQ(state.m_bSourcePageActive, 0);
    EXPECT_EQ(fw::WindowRef(Item(IDC_DEST_PATH)).GetText(), kDestination);
    EXPECT_TRUE(prompts.Records().empty()) << "a chooser opened";
    EXPECT_EQ(homePages, 0);
}

// The read-only field keeps its own keys: the accelerators of the same keys
// have no command to run.
TEST_F(PageAccess, TheDestinationFieldCopiesWhatTheKeyboardSelected) {
    GoTo(1);
    const HWND field = Item(IDC_DEST_PATH);
    SetWindowTextW(field, kDestination);
    for (const WORD copy : {WORD{'C'}, WORD{VK_INSERT}}) {
        SCOPED_TRACE(copy);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        SetFocus(field);
        support::PressKey(app, field, VK_HOME);
        support::PressKey(app, field, VK_END, VK_SHIFT);
        support::PressKey(app, field, copy, VK_CONTROL);
        EXPECT_EQ(ClipboardText(), kDestination);
    }
}

} // namespace
