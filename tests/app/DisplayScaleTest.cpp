// A change of the display's scale (WM_DPICHANGED, as when the window moves to
// a monitor with another DPI) lays the frame out at the new scale, pages,
// pictures and fonts included, and a change back restores every figure.
#include "support/Testing.h"

#include "controls/Controls.h"
#include "res/resource.h"

namespace {

RECT Rect(int x, int y, int width, int height) {
    return {x, y, x + width, y + height};
}

class DisplayScale : public support::Workspace {
protected:
    // What the system sends when the window comes onto a monitor at `dpi`.
    void ChangeDpi(int dpi) {
        const RECT now = frame->WindowRect();
        m_suggested = Rect(now.left + 10, now.top + 10, fw::ScalePixels(CMainFrame::kWidth, dpi),
                           fw::ScalePixels(CMainFrame::kHeight, dpi));
        SendMessageW(Frame(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&m_suggested));
        support::PumpMessages();
    }

    HWND Control(int page, int id) const { return GetDlgItem(app.Page(page)->Handle(), id); }
    SIZE Picture(int page, int id) const {
        return static_cast<CToolButton*>(fw::WindowBase::FromHandle(Control(page, id)))
            ->PictureSize();
    }
    LONG FontHeight(int page, int id) const {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(page, id), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        return font.lfHeight;
    }
    RECT Placed(int page, int id) const { return fw::WindowRef(Control(page, id)).RectInParent(); }

    // The frame and the page now shown, laid out for `dpi`.
    void ExpectLaidOutFor(int dpi, int page) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI, page " << page);
        const auto s = [dpi](int pixels) { return fw::ScalePixels(pixels, dpi); };
        EXPECT_EQ(frame->WindowRect(), m_suggested);
        const RECT bar = frame->m_wndStatusBar.RectInParent();
        EXPECT_EQ(bar.bottom - bar.top, s(24));
        const RECT client = app.Page(page)->ClientRect();
        for (const auto& [id, rect] :
             support::ExpectedLayout(page, client.right, client.bottom, dpi))
            EXPECT_EQ(Placed(page, id), rect) << "control " << id;
        if (page == 0) {
            EXPECT_EQ(Picture(0, IDC_ADD), (SIZE{s(150), s(150)}));
            EXPECT_EQ(Picture(0, IDC_REPAIR), (SIZE{s(130), s(38)}));
            EXPECT_EQ(FontHeight(0, IDC_SOURCE_PATH), s(14));
        } else {
            EXPECT_EQ(Picture(1, IDC_SAVE), (SIZE{s(134), s(60)}));
            EXPECT_EQ(Picture(1, IDC_BROWSE), (SIZE{s(72), s(22)}));
            EXPECT_EQ(FontHeight(1, IDC_DEST_PATH), s(16));
        }
    }

    RECT m_suggested{};
};

TEST_F(DisplayScale, FrameAndPagesFollowTheMonitorsScaleAndComeBackExactly) {
    ASSERT_EQ(fw::DpiOf(Frame()), 96) << "the test prefix runs at 96 DPI";
    m_suggested = frame->WindowRect();
    ExpectLaidOutFor(96, 0);
    const RECT frameAt96 = frame->WindowRect();

    ChangeDpi(144); // the save page, not made yet, is made at this scale
    ExpectLaidOutFor(144, 0);
    GoTo(1);
    ExpectLaidOutFor(144, 1);
    ChangeDpi(120); // on the save page
    ExpectLaidOutFor(120, 1);
    GoTo(0);
    ExpectLaidOutFor(120, 0);

    ChangeDpi(96);
    ExpectLaidOutFor(96, 0);
    const RECT frameNow = frame->WindowRect();
    EXPECT_EQ(frameNow.right - frameNow.left, frameAt96.right - frameAt96.left);
    EXPECT_EQ(frameNow.bottom - frameNow.top, frameAt96.bottom - frameAt96.top);
    GoTo(1);
    ExpectLaidOutFor(96, 1);
}

} // namespace
