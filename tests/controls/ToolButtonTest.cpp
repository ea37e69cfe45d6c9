#include "controls/Controls.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

constexpr COLORREF kMarker = RGB(255, 0, 255);

// Runs the message loop until `done` holds or the time is up.
template <class Done> bool PumpUntil(Done done, DWORD timeoutMs = 3000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// A 32-bit surface whose pixels can be compared as a whole.
class Surface {
public:
    Surface(int width, int height) : m_width(width), m_height(height), m_dc(nullptr) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const DWORD*>(bits);
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
        Fill(kMarker);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() { SelectObject(m_dc.Get(), m_old); }
    HDC Get() const { return m_dc.Get(); }
    void Fill(COLORREF colour) {
        fw::Brush brush(CreateSolidBrush(colour));
        RECT all{0, 0, m_width, m_height};
        FillRect(m_dc.Get(), &all, brush.Get());
    }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const DWORD bgr = m_bits[y * m_width + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }
    // The top-left width x height block.
    std::vector<COLORREF> Block(int width, int height) const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }

private:
    int m_width, m_height;
    fw::MemoryDC m_dc;
    fw::Bitmap m_bitmap;
    const DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The pixels of a picture of the program's resources, as it is painted.
std::vector<COLORREF> PicturePixels(UINT id, int width, int height) {
    Surface surface(width, height);
    fw::Bitmap picture = fw::LoadBitmapResource(id);
    fw::MemoryDC memory(surface.Get());
    fw::SelectGuard select(memory.Get(), picture.Get());
    BitBlt(surface.Get(), 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    return surface.Block(width, height);
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
        Surface surface(200, 200);
        m_button.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Get()), PRF_CLIENT);
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

    std::wstring ToolText() {
        wchar_t text[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_button.Handle();
        tool.uId = 1;
        tool.lpszText = text;
        SendMessageW(m_button.Tooltip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        return text;
    }

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
    Surface surface(200, 200);
    m_button.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Get()), PRF_CLIENT);

    EXPECT_EQ(surface.Block(130, 38), PicturePixels(IDB_REPAIR_HOVER, 130, 38));
    for (int y = 0; y < 50; ++y)
        for (int x = 130; x < 140; ++x)
            ASSERT_EQ(surface.Pixel(x, y), kMarker) << "painted at " << x << "," << y;
    for (int x = 0; x < 130; ++x)
        ASSERT_EQ(surface.Pixel(x, 38), kMarker) << "painted at " << x << ",38";
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
    const auto settle = [] { PumpUntil([] { return false; }, 300); };
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
