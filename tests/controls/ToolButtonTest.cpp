#include "support/Testing.h"

#include "controls/Controls.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

constexpr COLORREF kMarker = RGB(255, 0, 255);

using support::Canvas;
using support::PumpUntil;

// The pixels of a picture of the program's resources, as it is painted.
std::vector<COLORREF> PicturePixels(UINT id, int width, int height) {
    return Canvas(id).Block(width, height);
}

// A top-level window for the buttons, in front of everything, whose reflection
// of WM_DRAWITEM reaches the button as in the program's pages.
class Host : public fw::Window {};

// Counts what reaches a button, ahead of the button's own handling.
struct Observer {
    CToolButton* button = nullptr;
    int hovers = 0;
    int leaves = 0;
    int trackingRequests = 0; // times m_bTracking went from false to true

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                 DWORD_PTR data) {
        auto& self = *reinterpret_cast<Observer*>(data);
        const bool tracking = self.button->IsTracking();
        const LRESULT result = DefSubclassProc(window, message, w, l);
        if (!tracking && self.button->IsTracking())
            ++self.trackingRequests;
        self.hovers += message == WM_MOUSEHOVER;
        self.leaves += message == WM_MOUSELEAVE;
        return result;
    }
};

class ToolButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.Create({.rect = {40, 40, 440, 340},
                                   .style = WS_POPUP | WS_VISIBLE,
                                   .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW}));
        ASSERT_TRUE(m_button.Create({.parent = m_host.Handle(),
                                     .id = IDC_ADD,
                                     .rect = {20, 30, 120, 130},
                                     .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                     .className = L"BUTTON"}));
    }

    // Paints the button as the system does, into a surface larger than the
    // button, and gives the top-left block.
    std::vector<COLORREF> Render(int width = 150, int height = 150) {
        Canvas surface(200, 200, kMarker);
        m_button.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);
        return surface.Block(width, height);
    }

    RECT ToolRect() {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_button.Handle();
        tool.uId = 1;
        EXPECT_TRUE(
            SendMessageW(m_button.Tooltip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        return tool.rect;
    }

    std::wstring ToolText() { return support::TooltipText(m_button.Tooltip(), m_button.Handle()); }

    Host m_host;
    CToolButton m_button;
};

TEST_F(ToolButtonTest, TakesTheNormalPictureSizeInPlaceAndComesToTheTop) {
    CToolButton sibling;
    ASSERT_TRUE(sibling.Create({.parent = m_host.Handle(), .rect = {20, 30, 120, 130}}));
    EXPECT_NE(sibling.Style() & BS_OWNERDRAW, 0) << "created owner-drawn without asking";
    EXPECT_NE(GetWindow(m_host.Handle(), GW_CHILD), sibling.Handle());

    EXPECT_TRUE(sibling.SetBitmaps(IDB_REPAIR_NORMAL, IDB_REPAIR_HOVER));
    const RECT rect = sibling.RectInParent();
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 130);
    EXPECT_EQ(rect.bottom - rect.top, 38) << "the larger hover picture does not count";
    EXPECT_EQ(GetWindow(m_host.Handle(), GW_CHILD), sibling.Handle());
}

TEST_F(ToolButtonTest, SecondPicturesGrowTheButtonWhileTheTooltipAreaStays) {
    const std::wstring first = L"Please add corrupted video file to repair.";
    m_button.SetTooltipText(nullptr);
    EXPECT_EQ(m_button.Tooltip(), nullptr);

    m_button.SetBitmaps(IDB_ADD_NORMAL, IDB_ADD_HOVER);
    m_button.SetTooltipText(&first);
    ASSERT_NE(m_button.Tooltip(), nullptr);
    m_button.SetBitmaps(IDB_ADD_DONE, IDB_ADD_DONE);
    const std::wstring second = L"changed";
    m_button.SetTooltipText(&second);

    const RECT rect = m_button.RectInParent();
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.bottom - rect.top, 168);
    EXPECT_EQ(m_button.PictureSize().cy, 168);

    EXPECT_EQ(SendMessageW(m_button.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    const RECT tool = ToolRect();
    EXPECT_EQ(tool.right - tool.left, 150);
    EXPECT_EQ(tool.bottom - tool.top, 150);
    EXPECT_EQ(ToolText(), second);
}

TEST_F(ToolButtonTest, PaintsTheNormalThenTheHoverPictureAndNothingElse) {
    m_button.SetBitmaps(IDB_ADD_NORMAL, IDB_ADD_HOVER);
    const auto normal = PicturePixels(IDB_ADD_NORMAL, 150, 150);
    const auto hover = PicturePixels(IDB_ADD_HOVER, 150, 150);
    ASSERT_NE(normal, hover);

    EXPECT_EQ(Render(), normal);
    m_button.Send(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(m_button.IsHover());
    EXPECT_EQ(Render(), hover);

    // Held down, the button keeps showing the hover picture it showed.
    m_button.Send(BM_SETSTATE, TRUE);
    EXPECT_EQ(Render(), hover);
    m_button.Send(WM_MOUSELEAVE);
    m_button.Send(BM_SETSTATE, FALSE);
    EXPECT_FALSE(m_button.IsHover());
    EXPECT_EQ(Render(), normal);
}

TEST_F(ToolButtonTest, LargerHoverPictureOrButtonPaintsOnlyThePictureBlock) {
    m_button.SetBitmaps(IDB_REPAIR_NORMAL, IDB_REPAIR_HOVER);
    // The owner makes the button larger than its picture.
    m_button.MoveTo(20, 30, 140, 50);
    m_button.Send(WM_MOUSEHOVER);
    Canvas surface(200, 200, kMarker);
    m_button.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);

    EXPECT_EQ(surface.Block(130, 38), PicturePixels(IDB_REPAIR_HOVER, 130, 38));
    for (int y = 0; y < 50; ++y)
        for (int x = 130; x < 140; ++x)
            ASSERT_EQ(surface.At(x, y), kMarker) << "painted at " << x << "," << y;
    for (int x = 0; x < 130; ++x)
        ASSERT_EQ(surface.At(x, 38), kMarker) << "painted at " << x << ",38";
}

TEST_F(ToolButtonTest, EnterRestAndLeaveGiveOneHoverPhaseAndOneTrackingRequest) {
    m_button.SetBitmaps(IDB_ADD_NORMAL, IDB_ADD_HOVER);
    Observer observer{&m_button};
    SetWindowSubclass(m_button.Handle(), Observer::Proc, 99,
                      reinterpret_cast<DWORD_PTR>(&observer));

    // The platform reports hover and leave from where the pointer really is.
    // Under Wine a moved pointer may echo back to where it was a little later,
    // so the pointer is parked once and the window is moved under it instead.
    const POINT pointer{900, 700};
    const RECT home = m_host.WindowRect();
    SetCursorPos(pointer.x, pointer.y);
    const auto settle = [] { support::PumpFor(300); };
    settle();
    ASSERT_EQ(observer.trackingRequests, 0);

    // The button's point (60, 60) comes under the pointer.
    SetWindowPos(m_host.Handle(), nullptr, pointer.x - 80, pointer.y - 90, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_button.Send(WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_TRUE(m_button.IsTracking());
    ASSERT_TRUE(PumpUntil([&] { return m_button.IsHover(); })) << "no hover notification";

    for (int i = 0; i < 5; ++i)
        m_button.Send(WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    settle();
    EXPECT_TRUE(m_button.IsHover());

    SetWindowPos(m_host.Handle(), nullptr, home.left, home.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return !m_button.IsTracking(); })) << "no leave notification";
    settle();
    EXPECT_FALSE(m_button.IsHover());
    EXPECT_EQ(observer.hovers, 1);
    EXPECT_EQ(observer.leaves, 1);
    EXPECT_EQ(observer.trackingRequests, 1);

    RemoveWindowSubclass(m_button.Handle(), Observer::Proc, 99);
}

TEST_F(ToolButtonTest, TooltipGoesWithTheButton) {
    const std::wstring text = L"tip";
    HWND tooltip = nullptr;
    {
        CToolButton button;
        ASSERT_TRUE(button.Create({.parent = m_host.Handle(), .id = 7}));
        button.SetTooltipText(&text);
        tooltip = button.Tooltip();
        ASSERT_TRUE(IsWindow(tooltip));
        EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    }
    EXPECT_FALSE(IsWindow(tooltip));

    // Messages on their way to the button create the tooltip and reach it.
    MSG message{};
    message.hwnd = m_button.Handle();
    message.message = WM_MOUSEMOVE;
    message.lParam = MAKELPARAM(1, 1);
    EXPECT_FALSE(m_button.PreTranslateMessage(message));
    EXPECT_TRUE(IsWindow(m_button.Tooltip()));
}

} // namespace
