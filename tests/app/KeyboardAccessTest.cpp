// Both pages without a mouse: Tab and Shift+Tab in reading order, Space and
// Enter on the picture buttons, the focus cue, and what a screen reader reads.
#include "support/Testing.h"

#include "framework/Prompts.h"
#include "res/resource.h"

#include <oleacc.h>

#include <vector>

namespace {

using support::AccessibleFacts;
using support::ReadAccessible;

class Keyboard : public support::Workspace {
protected:
    // A key pressed and released on the focused window, through the
    // program's message loop.
    void Press(WPARAM key, bool shift = false) {
        SetShift(shift);
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG msg{};
            msg.hwnd = GetFocus();
            msg.message = message;
            msg.wParam = key;
            msg.lParam = message == WM_KEYUP ? LPARAM(0xC0000001) : 1;
            if (!app.PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        SetShift(false);
        support::PumpMessages();
    }
    std::vector<int> TabIds(int count, bool shift = false) {
        std::vector<int> ids;
        for (int i = 0; i < count; ++i) {
            Press(VK_TAB, shift);
            ids.push_back(GetDlgCtrlID(GetFocus()));
        }
        return ids;
    }
    // The button as the system paints it.
    std::vector<COLORREF> Render(int id) {
        HWND button = frame->ActiveView()->Item(id).Handle();
        support::Canvas canvas(140, 60);
        SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        return canvas.Block(140, 60);
    }
    HWND Item(int id) const { return frame->ActiveView()->Item(id).Handle(); }
    // The save page, painted: each paint gives the field the keys.
    void ShowSavePage() {
        GoTo(1);
        UpdateWindow(frame->ActiveView()->Handle());
    }

    fw::PromptScript prompts;

private:
    static void SetShift(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

TEST_F(Keyboard, TabAndShiftTabGoThroughEachPageInReadingOrder) {
    EXPECT_EQ(TabIds(3), (std::vector<int>{IDC_ADD, IDC_REPAIR, IDC_ADD}));
    EXPECT_EQ(TabIds(1, true), (std::vector<int>{IDC_REPAIR}));

    ShowSavePage();
    ASSERT_EQ(GetFocus(), Item(IDC_DEST_PATH));
    EXPECT_EQ(TabIds(5),
              (std::vector<int>{IDC_BROWSE, IDC_BACK, IDC_PREVIEW, IDC_SAVE, IDC_DEST_PATH}));
    EXPECT_EQ(TabIds(2, true), (std::vector<int>{IDC_SAVE, IDC_PREVIEW}));
}

TEST_F(Keyboard, SpaceAndEnterPressTheFocusedButton) {
    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(IDC_ADD));
    Press(VK_SPACE);
    Press(VK_RETURN);
    const auto records = prompts.Records();
    ASSERT_EQ(records.size(), 2u) << "Space and Enter each open the chooser";
    EXPECT_TRUE(records[0].chooser && records[1].chooser);

    ShowSavePage();
    TabIds(2);
    ASSERT_EQ(GetFocus(), Item(IDC_BACK));
    Press(VK_RETURN);
    EXPECT_EQ(state.m_bSourcePageActive, 1) << "Enter on Back";
}

TEST_F(Keyboard, AFocusedButtonShowsACueAfterTabButNotAfterAClick) {
    const std::vector<COLORREF> add = Render(IDC_ADD), repair = Render(IDC_REPAIR);

    // A click gives the focus without a cue (its chooser is cancelled).
    SendMessageW(Item(IDC_ADD), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(Item(IDC_ADD), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    support::PumpMessages();
    ASSERT_EQ(GetFocus(), Item(IDC_ADD));
    EXPECT_EQ(prompts.Records().size(), 1u);
    EXPECT_TRUE(Render(IDC_ADD) == add) << "a cue after a click";

    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(IDC_REPAIR));
    EXPECT_FALSE(Render(IDC_REPAIR) == repair) << "no cue after Tab";
    EXPECT_TRUE(Render(IDC_ADD) == add) << "the cue goes with the focus";
}

void ExpectButton(HWND button, const std::wstring& name, const std::wstring& tip) {
    const AccessibleFacts facts = ReadAccessible(button);
    EXPECT_EQ(facts.name, name);
    EXPECT_EQ(facts.role, ROLE_SYSTEM_PUSHBUTTON) << name;
    EXPECT_EQ(facts.description, tip) << name;
    EXPECT_EQ(facts.defaultAction, L"Press") << name;
}

TEST_F(Keyboard, AScreenReaderReadsNamesRolesAndValuesOfBothPages) {
    ExpectButton(Item(IDC_ADD), L"Add video", L"Please add corrupted video file to repair.");
    ExpectButton(Item(IDC_REPAIR), L"Repair", L"Start the Repair process.");
    const AccessibleFacts line = ReadAccessible(Item(IDC_SOURCE_PATH));
    EXPECT_EQ(line.role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(line.name, L"Please add corrput video file to repair.");

    GoTo(1);
    ExpectButton(Item(IDC_BROWSE), L"Browse",
                 L"Please select destination path to save the repaired video file.");
    ExpectButton(Item(IDC_BACK), L"Back", L"Back to previous wizard.");
    ExpectButton(Item(IDC_PREVIEW), L"Preview", L"Preview the repaired video file.");
    ExpectButton(Item(IDC_SAVE), L"Save", L"Save the repaired video file.");
    EXPECT_EQ(fw::WindowRef(Item(IDC_SAVE)).GetText(), L" ") << "the caption stays";

    SetWindowTextW(Item(IDC_DEST_PATH), L"C:\\out\\clip_(recovered).mp4");
    const AccessibleFacts field = ReadAccessible(Item(IDC_DEST_PATH));
    EXPECT_EQ(field.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(field.name, L"Destination directory path to save repaired Video file:");
    EXPECT_EQ(field.value, L"C:\\out\\clip_(recovered).mp4");

    // The default action presses the button.
    ASSERT_TRUE(support::DoAccessibleDefaultAction(Item(IDC_BACK)));
    EXPECT_TRUE(support::PumpUntil([&] { return state.m_bSourcePageActive == 1; }));
}

} // namespace
