#include "ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace controls_test;

constexpr int kStaticId = 501;

class TransparentStaticTest : public testing::Test {
protected:
    TransparentStaticTest() {
        m_font.Reset(PlainTahoma(-15, FW_BOLD));
        HWND control = m_host.AddStatic(kStaticId, L"Short", {10, 10, 310, 40});
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
        EXPECT_TRUE(m_static.Attach(control));
        Repaint(m_host.Handle());
    }

    Host m_host;
    fw::Font m_font;
    CTransparentStatic m_static;
};

TEST_F(TransparentStaticTest, DrawsBlackTextWithoutBackground) {
    fw::MemoryDC dc(nullptr);
    HGDIOBJ fontBefore = GetCurrentObject(dc.Get(), OBJ_FONT);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(m_host.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(m_static.Handle())));
    EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc.Get()), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc.Get()), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc.Get()), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), fontBefore);

    // On the screen: black letters, and the picture everywhere else.
    const Pixels shown(m_host.Handle(), BlockOf(m_static.Handle()));
    EXPECT_GT(shown.Count(RGB(0, 0, 0)), 20);
    for (int y = 0; y < shown.Height(); ++y)
        EXPECT_EQ(shown.At(shown.Width() - 1, y), StripeAt(10 + shown.Width() - 1));
}

TEST_F(TransparentStaticTest, AShorterTextLeavesNoTraceOfTheLongerOne) {
    const Pixels shortText(m_host.Handle(), BlockOf(m_static.Handle()));

    m_static.SetText(L"A much longer line of text");
    const Pixels longText(m_host.Handle(), BlockOf(m_static.Handle()));
    ASSERT_FALSE(longText == shortText) << "the new text was not drawn";

    // The parent's picture comes back behind the control before it draws
    // the new text, at once.
    m_static.SetText(L"Short");
    EXPECT_TRUE(Pixels(m_host.Handle(), BlockOf(m_static.Handle())) == shortText)
        << "the longer text shows behind the shorter one";
    EXPECT_EQ(m_static.GetText(), L"Short");
}

} // namespace
