#include "ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace controls_test;

constexpr COLORREF kFrame = RGB(29, 117, 189);

// Counts the pixels of the ring `inset` pixels in from the block's edge, and
// how many of them have the frame's colour.
struct Ring {
    int pixels = 0;
    int framed = 0;
};

Ring RingOf(const Pixels& block, int inset) {
    Ring ring;
    const int right = block.Width() - 1 - inset, bottom = block.Height() - 1 - inset;
    for (int y = inset; y <= bottom; ++y)
        for (int x = inset; x <= right; ++x)
            if (x == inset || y == inset || x == right || y == bottom) {
                ++ring.pixels;
                ring.framed += block.At(x, y) == kFrame;
            }
    return ring;
}

void ExpectFramedOnTheOutermostRingOnly(HWND host, HWND edit) {
    const Pixels block(host, BlockOf(edit));
    const Ring outer = RingOf(block, 0), inner = RingOf(block, 1);
    EXPECT_EQ(outer.framed, outer.pixels) << "outermost ring";
    EXPECT_EQ(inner.framed, 0) << "ring inside it";
}

TEST(CustomEdit, FramesTheOutermostRingOfItsWindowAfterEveryPaint) {
    for (DWORD exStyle : {DWORD{0}, DWORD{WS_EX_CLIENTEDGE}}) {
        SCOPED_TRACE(exStyle ? "client edge" : "plain border");
        Host host;
        CCustomEdit edit;
        ASSERT_TRUE(edit.Create({.parent = host.Handle(),
                                 .id = 104,
                                 .rect = {10, 10, 250, 34},
                                 .style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                                 .exStyle = exStyle,
                                 .text = L"C:\\Videos\\clip_(recovered).MP4",
                                 .className = L"EDIT"}));
        Repaint(host.Handle());
        ExpectFramedOnTheOutermostRingOnly(host.Handle(), edit.Handle());

        // A paint of the control alone draws the frame again.
        edit.SetText(L"D:\\elsewhere");
        InvalidateRect(edit.Handle(), nullptr, TRUE);
        UpdateWindow(edit.Handle());
        ExpectFramedOnTheOutermostRingOnly(host.Handle(), edit.Handle());
    }
}

} // namespace
