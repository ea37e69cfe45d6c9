// The bars' colours, read back as pixels: the status bar blue with white
// text over its whole area, the menu bar white with black text.
#include "support/Testing.h"

#include "controls/Controls.h"
#include "framework/Gdi.h"
#include "res/resource.h"

#include <vector>

namespace {

constexpr COLORREF kBlue = RGB(24, 129, 173);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

using support::Canvas;

int Area(const RECT& rect) {
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}

// Text drawn white on the blue blends between the two, never darker than the blue.
bool BlueToWhite(COLORREF c) {
    return GetRValue(c) >= GetRValue(kBlue) && GetGValue(c) >= GetGValue(kBlue) &&
           GetBValue(c) >= GetBValue(kBlue);
}
bool NearWhite(COLORREF c) {
    return GetRValue(c) >= 235 && GetGValue(c) >= 235 && GetBValue(c) >= 235;
}
bool Dark(COLORREF c) {
    return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
}

using Bars = support::Workspace;

TEST_F(Bars, StatusBarIsBlueOverItsWholeAreaWithWhiteText) {
    CStatusBar& bar = frame->m_wndStatusBar;
    const RECT client = bar.ClientRect();
    ASSERT_GT(Area(client), 0);
    Canvas canvas(client.right, client.bottom);
    bar.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);

    EXPECT_EQ(canvas.Count(client, BlueToWhite), Area(client)) << "a pixel darker than the blue";
    // Past the last element there is only the bar itself.
    const RECT last = bar.ElementRect(bar.Elements().size() - 1);
    ASSERT_LT(last.right, client.right);
    const RECT rest{last.right, 0, client.right, client.bottom};
    EXPECT_EQ(canvas.Count(rest, [](COLORREF c) { return c == kBlue; }), Area(rest));
    const RECT top{0, 0, client.right, 1};
    EXPECT_EQ(canvas.Count(top, [](COLORREF c) { return c == kBlue; }), Area(top));

    // "Visit:" and the link are written in white.
    EXPECT_EQ(bar.Elements()[0].text, L"Visit:");
    EXPECT_GT(canvas.Count(bar.ElementRect(0), NearWhite), 5);
    EXPECT_EQ(bar.Elements()[2].kind, CStatusBar::Element::Link);
    EXPECT_GT(canvas.Count(bar.ElementRect(2), NearWhite), 20);
}

TEST_F(Bars, StatusBarCarriesTheHomepageLinkAndSpacersInOpenSans15) {
    using Kind = CStatusBar::Element::Kind;
    const CStatusBar& bar = frame->m_wndStatusBar;
    EXPECT_EQ(bar.Id(), ID_STATUS_BAR);
    const std::vector<std::pair<Kind, std::wstring>> expected = {
        {Kind::Label, L"Visit:"},
        {Kind::Separator, L""},
        {Kind::Link, L"Software Homepage"},
        {Kind::Separator, L""},
        {Kind::Label, std::wstring(36, L' ')},
        {Kind::Label, std::wstring(27, L' ')},
        {Kind::Separator, L""},
        {Kind::Separator, L""},
        {Kind::Label, L" "},
        {Kind::Separator, L""},
    };
    std::vector<std::pair<Kind, std::wstring>> actual;
    for (const auto& element : bar.Elements())
        actual.emplace_back(element.kind, element.text);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(bar.Elements()[2].command, static_cast<UINT>(ID_VISIT_HOMEPAGE));

    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(bar.Send(WM_GETFONT)), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, L"Open Sans");
    EXPECT_EQ(font.lfHeight, 15);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
}

TEST_F(Bars, ABarPaintsInTheColoursItIsMadeWith) {
    // The other bars' colours: white, with black text.
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(Frame(), ID_STATUS_BAR + 1, CColorThemeManager::kOtherBars));
    bar.AddLabel(L"Visit:");
    const RECT client = bar.ClientRect();
    Canvas canvas(client.right, client.bottom, kBlue);
    bar.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);

    const RECT label = bar.ElementRect(0);
    const RECT rest{label.right, 0, client.right, client.bottom};
    EXPECT_EQ(canvas.Count(rest, [](COLORREF c) { return c == kWhite; }), Area(rest));
    EXPECT_GT(canvas.Count(label, Dark), 5);
    EXPECT_EQ(canvas.Count(client, [](COLORREF c) { return c == kBlue; }), 0);
}

TEST_F(Bars, MenuBarIsWhiteWithBlackText) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    ASSERT_TRUE(GetMenuInfo(GetMenu(Frame()), &info));
    LOGBRUSH brush{};
    ASSERT_TRUE(GetObjectW(info.hbrBack, sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, kWhite);

    // The bar as the system draws it, in window coordinates.
    MENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetMenuBarInfo(Frame(), OBJID_MENU, 0, &bar));
    const RECT window = frame->WindowRect();
    RECT area = bar.rcBar;
    OffsetRect(&area, -window.left, -window.top);
    ASSERT_GT(Area(area), 0);
    Canvas canvas(window.right - window.left, window.bottom - window.top, RGB(1, 2, 3));
    // Wine's PrintWindow leaves the non-client area out, so the bar is read from the screen.
    SetWindowPos(Frame(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(Frame(), nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    support::PumpMessages();
    {
        fw::WindowDC screen(Frame(), fw::WindowDC::Whole);
        ASSERT_TRUE(BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen.Get(), 0, 0,
                           SRCCOPY));
    }

    // Right of the two titles the bar is plain white; the titles themselves are black.
    const RECT empty{area.right - 200, area.top + 1, area.right - 2, area.bottom - 1};
    EXPECT_EQ(canvas.Count(empty, [](COLORREF c) { return c == kWhite; }), Area(empty));
    const RECT titles{area.left, area.top, area.left + 80, area.bottom};
    EXPECT_GT(canvas.Count(titles, Dark), 10);
}

} // namespace
