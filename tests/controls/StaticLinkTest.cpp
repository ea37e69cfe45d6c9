#include "ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace controls_test;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr int kLinkId = 500;

class StaticLinkTest : public testing::Test {
protected:
    StaticLinkTest() { m_font.Reset(PlainTahoma(-16, FW_NORMAL)); }
    // A static of the host without SS_NOTIFY, as dialog templates give them.
    HWND AddLink(const wchar_t* text) {
        HWND control = m_host.AddStatic(kLinkId, text, {10, 10, 300, 40});
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
        EXPECT_TRUE(m_link.Attach(control));
        m_link.m_pOpener = &m_shell;
        return control;
    }
    void Click() {
        SendMessageW(m_host.Handle(), WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
                     reinterpret_cast<LPARAM>(m_link.Handle()));
    }

    Host m_host;
    fw::Font m_font;
    CStaticLink m_link;
    FakeShell m_shell;
};

// The row of the control's pixels that holds most pixels of `colour`: the underline.
int LongestRunRow(const Pixels& pixels, COLORREF colour) {
    int best = 0;
    for (int y = 0; y < pixels.Height(); ++y) {
        int count = 0;
        for (int x = 0; x < pixels.Width(); ++x)
            count += pixels.At(x, y) == colour;
        best = std::max(best, count);
    }
    return best;
}

TEST_F(StaticLinkTest, AnswersTheColourRequestWithBlueUnderlinedTextAndNoBackground) {
    HWND control = AddLink(L"https://www.dravix.example");

    const ColourAnswer answer = AskColour(control);
    EXPECT_EQ(answer.text, kBlue);
    EXPECT_EQ(answer.mode, TRANSPARENT);
    EXPECT_EQ(answer.brush, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(answer.font.lfUnderline);
    EXPECT_STREQ(answer.font.lfFaceName, L"Tahoma");
    EXPECT_EQ(answer.font.lfHeight, -16);
    // The underlined font is a copy: the one the control was given stays as it was.
    LOGFONTW given{};
    ASSERT_TRUE(GetObjectW(m_font.Get(), sizeof given, &given));
    EXPECT_FALSE(given.lfUnderline);
}

TEST_F(StaticLinkTest, IsDrawnBlueAndUnderlinedThenPurpleOnceOpened) {
    FakeShell& shell = m_shell;
    HWND control = AddLink(L"www.dravix.example");
    Repaint(m_host.Handle());
    const Pixels before(m_host.Handle(), BlockOf(control));
    // An underline is an unbroken row as wide as the text (about 130 pixels).
    EXPECT_GT(LongestRunRow(before, kBlue), 90);
    EXPECT_EQ(before.Count(kPurple), 0);

    Click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(m_link.IsVisited());
    PumpFor(100);
    const Pixels after(m_host.Handle(), BlockOf(control));
    EXPECT_GT(LongestRunRow(after, kPurple), 90);
    EXPECT_EQ(after.Count(kBlue), 0);
}

TEST_F(StaticLinkTest, OpensItsTargetWithTheShellAndStaysPurple) {
    FakeShell& shell = m_shell;
    HWND control = AddLink(L"Software Homepage");
    m_link.m_link = L"http://www.dravix.example";

    Click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], L"http://www.dravix.example");
    EXPECT_EQ(shell.beeps, 0);
    EXPECT_EQ(AskColour(control).text, kPurple);

    // A second attempt that fails beeps, and the link stays purple.
    shell.succeed = false;
    Click();
    EXPECT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.beeps, 1);
    EXPECT_TRUE(m_link.IsVisited());
    EXPECT_EQ(AskColour(control).text, kPurple);
}

TEST_F(StaticLinkTest, AFailedOpenOnlyBeeps) {
    FakeShell& shell = m_shell;
    shell.succeed = false;
    HWND control = AddLink(L"mailto:sales@dravix.example");
    Click();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.beeps, 1);
    EXPECT_FALSE(m_link.IsVisited());
    EXPECT_EQ(AskColour(control).text, kBlue);

    shell.succeed = true;
    Click();
    EXPECT_EQ(shell.beeps, 1);
    EXPECT_TRUE(m_link.IsVisited());
}

TEST_F(StaticLinkTest, KeepsTheTextOfTheFirstClickAsItsTarget) {
    FakeShell& shell = m_shell;
    HWND control = AddLink(L"https://first.dravix.example/");
    Click();
    SetWindowTextW(control, L"https://second.dravix.example/");
    Click();
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], L"https://first.dravix.example/");
    EXPECT_EQ(shell.opened[1], L"https://first.dravix.example/");
    EXPECT_EQ(m_link.m_link, L"https://first.dravix.example/");
}

TEST_F(StaticLinkTest, BecomesClickableOnceItHasBeenPainted) {
    FakeShell& shell = m_shell;
    HWND control = AddLink(L"www.dravix.example");
    ASSERT_FALSE(GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY);
    // Before its first paint the static neither takes the mouse nor reports clicks.
    EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTTRANSPARENT);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(shell.opened.empty());

    Repaint(m_host.Handle());
    EXPECT_TRUE(GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTCLIENT);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], L"www.dravix.example");
}

TEST_F(StaticLinkTest, WithoutAFontOfItsOwnUnderlinesTheSystemFont) {
    HWND control = m_host.AddStatic(kLinkId, L"x", {0, 0, 50, 20});
    ASSERT_TRUE(m_link.Attach(control));
    LOGFONTW system{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    const ColourAnswer answer = AskColour(control);
    EXPECT_TRUE(answer.font.lfUnderline);
    EXPECT_STREQ(answer.font.lfFaceName, system.lfFaceName);
}

} // namespace
