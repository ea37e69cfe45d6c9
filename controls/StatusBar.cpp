#include "controls/Controls.h"

#include "framework/Accessible.h"

#include <memory>
#include <utility>

namespace {
constexpr int kElementPadding = 6;
constexpr int kSeparatorWidth = 9;
constexpr int kSeparatorInset = 4;
} // namespace

bool CStatusBar::Create(HWND frame, int id, fw::BarColours colours) {
    m_colours = colours;
    RECT client{};
    GetClientRect(frame, &client);
    if (!fw::Window::Create({.parent = frame,
                             .id = id,
                             .rect = {0, client.bottom - fw::ScalePixels(kHeight, fw::DpiOf(frame)),
                                      client.right, client.bottom},
                             .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                             .className = RegisterClassOnce(L"fw.StatusBar")}))
        return false;
    fw::SetAccessible(
        m_hWnd, {.role = ROLE_SYSTEM_STATUSBAR, .items = [this] { return AccessibleItems(); }});
    return true;
}

std::vector<fw::AccessibleItem> CStatusBar::AccessibleItems() const {
    std::vector<fw::AccessibleItem> items;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const Element& element = m_elements[i];
        if (element.kind == Element::Separator ||
            element.text.find_first_not_of(L' ') == std::wstring::npos)
            continue;
        fw::AccessibleItem& item = items.emplace_back(fw::AccessibleItem{
            .role = ROLE_SYSTEM_STATICTEXT, .name = element.text, .rect = ElementRect(i)});
        if (element.kind == Element::Link) {
            item.role = ROLE_SYSTEM_LINK;
            item.value = element.address;
            item.defaultAction = L"Jump";
            item.action = [this, command = element.command] { SendCommand(command); };
        }
    }
    return items;
}

void CStatusBar::SendCommand(UINT command) const {
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

int CStatusBar::ElementWidth(HDC dc, const Element& element) const {
    if (element.kind == Element::Separator)
        return Scaled(kSeparatorWidth);
    SIZE extent{};
    GetTextExtentPoint32W(dc, element.text.c_str(), static_cast<int>(element.text.size()), &extent);
    return extent.cx + 2 * Scaled(kElementPadding);
}

RECT CStatusBar::ElementRect(size_t index) const {
    fw::WindowDC dc(m_hWnd);
    fw::SelectGuard font(dc.Get(), m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    const RECT client = ClientRect();
    int x = 0;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const int width = ElementWidth(dc.Get(), m_elements[i]);
        if (i == index)
            return {x, client.top, x + width, client.bottom};
        x += width;
    }
    return {};
}

void CStatusBar::PaintContent(HDC dc) {
    const RECT client = ClientRect();
    const fw::Brush background(CreateSolidBrush(m_colours.background));
    FillRect(dc, &client, background.Get());
    SetTextColor(dc, m_colours.text);
    SetBkMode(dc, TRANSPARENT);
    fw::SelectGuard font(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF text = GetTextColor(dc);
    fw::Pen separatorPen(CreatePen(PS_SOLID, Scaled(1), text));
    const int separatorInset = Scaled(kSeparatorInset);
    int x = 0;
    for (const Element& element : m_elements) {
        const int width = ElementWidth(dc, element);
        RECT rect{x, client.top, x + width, client.bottom};
        if (element.kind == Element::Separator) {
            fw::SelectGuard pen(dc, separatorPen.Get());
            const int middle = x + width / 2;
            MoveToEx(dc, middle, client.top + separatorInset, nullptr);
            LineTo(dc, middle, client.bottom - separatorInset);
        } else {
            fw::Font underlined;
            std::unique_ptr<fw::SelectGuard> linkFont;
            if (element.kind == Element::Link) {
                LOGFONTW description{};
                GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof description, &description);
                description.lfUnderline = TRUE;
                underlined.Reset(CreateFontIndirectW(&description));
                linkFont = std::make_unique<fw::SelectGuard>(dc, underlined.Get());
            }
            DrawTextW(dc, element.text.c_str(), static_cast<int>(element.text.size()), &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        x += width;
    }
}

int CStatusBar::LinkAt(POINT point) const {
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const RECT rect = ElementRect(i);
        if (m_elements[i].kind == Element::Link && PtInRect(&rect, point))
            return static_cast<int>(i);
    }
    return -1;
}

bool CStatusBar::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate();
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(m_font);
        return true;
    case WM_ERASEBKGND:
        result = TRUE;
        return true;
    case WM_PAINT: {
        fw::PaintDC dc(m_hWnd);
        const RECT client = ClientRect();
        fw::OffscreenDC offscreen(dc.Get(), client.right, client.bottom);
        PaintContent(offscreen.Get());
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        PaintContent(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    case WM_SETCURSOR: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(m_hWnd, &point);
        if (LinkAt(point) < 0)
            return false;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN:
        // A link opens only when the button goes down and comes up on it.
        m_pressedLink = LinkAt(fw::PointFrom(lParam));
        if (m_pressedLink >= 0)
            SetCapture(m_hWnd);
        result = 0;
        return true;
    case WM_LBUTTONUP: {
        const int pressed = std::exchange(m_pressedLink, -1);
        if (GetCapture() == m_hWnd)
            ReleaseCapture();
        if (pressed >= 0 && pressed == LinkAt(fw::PointFrom(lParam)))
            SendCommand(m_elements[static_cast<size_t>(pressed)].command);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}
