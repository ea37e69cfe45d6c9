#include "controls/Controls.h"

#include "framework/Accessible.h"
#include "framework/Picture.h"

#include <commctrl.h>

#include <algorithm>

namespace {
constexpr UINT_PTR kToolId = 1;
constexpr DWORD kHoverTimeMs = 1;
// The focus cue: a frame in the theme's blue, inside the picture's edge.
constexpr COLORREF kFocusBlue = RGB(29, 117, 189);
constexpr int kFocusInset = 2;
constexpr int kFocusWidth = 2;
} // namespace

// clang-format off
const fw::MessageTable<CToolButton> CToolButton::kMessages = {
    fw::msg::Mouse<WM_LBUTTONDOWN, &CToolButton::OnLButtonDown>(),
    fw::msg::Mouse<WM_MOUSEMOVE, &CToolButton::OnMouseMove>(),
    fw::msg::MouseLeave<&CToolButton::OnMouseLeave>(),
    fw::msg::Mouse<WM_MOUSEHOVER, &CToolButton::OnMouseHover>(),
    fw::msg::EraseBkgnd<&CToolButton::OnEraseBkgnd>(),
    fw::msg::Raw<WM_KEYDOWN, &CToolButton::OnKeyDown>(),
    fw::msg::Destroy<&CToolButton::OnDestroy>(),
    fw::msg::ReflectedDrawItem<&CToolButton::DrawItem>(),
    fw::msg::DpiChanged<&CToolButton::OnDpiChanged>(),
};
// clang-format on

CToolButton::~CToolButton() {
    // Destroyed here, while this class still handles the window's messages.
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    DestroyTooltip();
}

bool CToolButton::Create(fw::CreateArgs args) {
    if (!args.className)
        args.className = WC_BUTTONW;
    args.style = (args.style & ~BS_TYPEMASK) | BS_OWNERDRAW;
    return fw::Control::Create(args);
}

BOOL CToolButton::SetBitmaps(UINT normalId, UINT hoverId, fw::PicturePrefetch* prefetch) {
    m_nNormalId = LOWORD(normalId);
    m_nHoverId = LOWORD(hoverId);
    LoadPictures(prefetch);
    // A missing picture leaves the window as it is; it then paints nothing.
    // Without SWP_NOZORDER the button also comes to the top of its siblings.
    if (m_bmpNormal)
        SetWindowPos(m_hWnd, nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOOWNERZORDER);
    return TRUE;
}

void CToolButton::LoadPictures(fw::PicturePrefetch* prefetch) {
    const int dpi = Dpi();
    m_bmpNormal = fw::LoadPicture(m_nNormalId, dpi, prefetch);
    m_bmpHover = fw::LoadPicture(m_nHoverId, dpi, prefetch);
    const SIZE size = fw::BitmapSize(m_bmpNormal.Get());
    m_nWidth = size.cx;
    m_nHeight = size.cy;
}

void CToolButton::OnDpiChanged(int) {
    if (!m_nNormalId)
        return;
    // The page lays the button out again; the pictures and the tip's area
    // follow the new scale here.
    LoadPictures();
    if (m_ToolTip && IsWindow(m_ToolTip)) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_hWnd;
        tool.uId = kToolId;
        tool.rect = {0, 0, m_nWidth, m_nHeight};
        SendMessageW(m_ToolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    Invalidate(false);
}

void CToolButton::EnsureTooltip() {
    if (m_ToolTip && IsWindow(m_ToolTip))
        return;
    m_ToolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (m_ToolTip)
        SendMessageW(m_ToolTip, TTM_ACTIVATE, FALSE, 0);
}

void CToolButton::DestroyTooltip() {
    // The system makes the tooltip a popup owned by the top-level window, not
    // by this child button, so it would outlive the button on its own.
    if (m_ToolTip && IsWindow(m_ToolTip))
        DestroyWindow(m_ToolTip);
    m_ToolTip = nullptr;
}

void CToolButton::SetTooltipText(const std::wstring* text) {
    if (!text)
        return;
    EnsureTooltip();
    if (!m_ToolTip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hWnd;
    tool.uId = kToolId;
    tool.hinst = nullptr;
    tool.lpszText = const_cast<wchar_t*>(text->c_str());
    // The area is fixed by the first call: later calls only change the text.
    // It is the picture's, as SetBitmaps sized the button, even when the
    // owner has laid the button out since (the page sets its tips only once
    // it has been painted).
    if (SendMessageW(m_ToolTip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        if (m_bmpNormal)
            tool.rect = {0, 0, m_nWidth, m_nHeight};
        else
            GetClientRect(m_hWnd, &tool.rect);
        SendMessageW(m_ToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(m_ToolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_ToolTip, TTM_ACTIVATE, TRUE, 0);
}

void CToolButton::SetAccessibleName(const std::wstring& name, const std::wstring& description) {
    fw::SetAccessible(m_hWnd, {.role = ROLE_SYSTEM_PUSHBUTTON,
                               .name = name,
                               .description = description,
                               .defaultAction = L"Press"});
}

bool CToolButton::PreTranslateMessage(MSG& message) {
    EnsureTooltip();
    if (m_ToolTip)
        SendMessageW(m_ToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    return fw::Control::PreTranslateMessage(message);
}

void CToolButton::DrawItem(const DRAWITEMSTRUCT& item) {
    fw::MemoryDC memory(item.hDC);
    if (!memory)
        return;
    // Held down, the button repaints the picture it showed when pressed: the
    // pictures carry no pressed look, and a repaint must not leave garbage.
    bool hover = m_bHover != FALSE;
    if (item.itemState & ODS_SELECTED)
        hover = m_bShownHover;
    HBITMAP picture = hover && m_bmpHover ? m_bmpHover.Get() : m_bmpNormal.Get();
    if (!picture)
        return;
    fw::SelectGuard select(memory.Get(), picture);
    BitBlt(item.hDC, 0, 0, m_nWidth, m_nHeight, memory.Get(), 0, 0, SRCCOPY);
    m_bShownHover = hover;

    // No cue while the user works with the mouse: the UI state of the button
    // or of its page hides it.
    const LRESULT state =
        Send(WM_QUERYUISTATE) | SendMessageW(GetParent(m_hWnd), WM_QUERYUISTATE, 0, 0);
    const bool hidden = (item.itemState & ODS_NOFOCUSRECT) || (state & UISF_HIDEFOCUS);
    if (!(item.itemState & ODS_FOCUS) || hidden)
        return;
    RECT cue{0, 0, std::min<LONG>(m_nWidth, item.rcItem.right),
             std::min<LONG>(m_nHeight, item.rcItem.bottom)};
    fw::Brush blue(CreateSolidBrush(kFocusBlue));
    const int inset = Scaled(kFocusInset);
    const int width = Scaled(kFocusWidth);
    for (int ring = 0; ring < width; ++ring) {
        InflateRect(&cue, -(ring ? 1 : inset), -(ring ? 1 : inset));
        FrameRect(item.hDC, &cue, blue.Get());
    }
}

void CToolButton::OnLButtonDown(UINT, POINT) {
    Default();
}

void CToolButton::OnMouseMove(UINT, POINT) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof request;
        request.dwFlags = TME_HOVER | TME_LEAVE;
        request.hwndTrack = m_hWnd;
        request.dwHoverTime = kHoverTimeMs;
        m_bTracking = _TrackMouseEvent(&request);
    }
    Default();
}

void CToolButton::OnMouseHover(UINT, POINT) {
    m_bHover = TRUE;
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CToolButton::OnMouseLeave() {
    m_bTracking = FALSE;
    m_bHover = FALSE;
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CToolButton::OnEraseBkgnd(HDC) {
    // The picture covers the button; erasing first would only flicker.
    return false;
}

LRESULT CToolButton::OnKeyDown(WPARAM key, LPARAM flags) {
    // Space presses the button as the system's buttons do; Enter does the
    // same here, once per press of the key.
    constexpr LPARAM kRepeat = 1 << 30;
    if (key != VK_RETURN || (flags & kRepeat))
        return Default();
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

void CToolButton::OnDestroy() {
    DestroyTooltip();
    Default();
}
