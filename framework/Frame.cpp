#include "framework/Frame.h"

#include "framework/Accessible.h"
#include "framework/Application.h"

#include <algorithm>
#include <utility>

namespace fw {
namespace {
constexpr int kElementPadding = 6;
constexpr int kSeparatorWidth = 9;
constexpr int kSeparatorInset = 4;

// Sets whether focus cues show in a window and everything inside it; each
// window keeps its own state, which its WM_QUERYUISTATE reports.
void ShowFocusCues(HWND window, bool show) {
    const WPARAM change = MAKEWPARAM(show ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS);
    SendMessageW(window, WM_UPDATEUISTATE, change, 0);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM change) {
            SendMessageW(child, WM_UPDATEUISTATE, static_cast<WPARAM>(change), 0);
            return TRUE;
        },
        static_cast<LPARAM>(change));
}
} // namespace

// View

bool View::CreateView(HWND parent, int id, DWORD style, const RECT& rect) {
    if (!Create({.parent = parent,
                 .id = id,
                 .rect = rect,
                 .style = PreCreateStyle(style),
                 .className = RegisterClassOnce(L"fw.View", CS_DBLCLKS)}))
        return false;
    // As in a dialog, focus cues stay hidden until the keyboard moves the focus.
    ShowFocusCues(m_hWnd, false);
    return true;
}

bool View::PreTranslateMessage(MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0)
        return false;
    HWND focus = GetFocus();
    if (!focus || (focus != m_hWnd && !IsChild(m_hWnd, focus)))
        return false;
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    HWND next = nullptr;
    std::vector<HWND> order = TabOrder();
    std::erase_if(
        order, [](HWND control) { return !IsWindowVisible(control) || !IsWindowEnabled(control); });
    if (order.empty()) {
        next = GetNextDlgTabItem(m_hWnd, focus == m_hWnd ? nullptr : focus, backwards);
    } else {
        const auto at = std::find(order.begin(), order.end(), focus);
        if (at == order.end())
            next = backwards ? order.back() : order.front();
        else if (backwards)
            next = at == order.begin() ? order.back() : *(at - 1);
        else
            next = at + 1 == order.end() ? order.front() : *(at + 1);
    }
    // The cues first, so that the control paints its own as it gets the focus.
    ShowFocusCues(m_hWnd, true);
    if (next)
        SetFocus(next);
    return true;
}

bool View::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_UPDATEUISTATE:
        // Wine keeps no UI state for a window: the page keeps whether its
        // controls hide their focus cues, and answers for them.
        if ((HIWORD(wParam) & UISF_HIDEFOCUS) && LOWORD(wParam) != UIS_INITIALIZE)
            m_hideFocus = LOWORD(wParam) == UIS_SET;
        return false;
    case WM_QUERYUISTATE:
        result =
            DefWindowProcW(m_hWnd, message, wParam, lParam) | (m_hideFocus ? UISF_HIDEFOCUS : 0);
        return true;
    case WM_PAINT: {
        PaintDC dc(m_hWnd);
        OnDraw(dc.Get());
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        OnDraw(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

void View::SendCommand(UINT id) const {
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// VisualManager

namespace {
std::unique_ptr<VisualManager>& ManagerSlot() {
    static std::unique_ptr<VisualManager> manager;
    return manager;
}
} // namespace

BarColours VisualManager::ColoursOf(const ControlBar*) const {
    return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
}

void VisualManager::PaintBarBackground(HDC dc, ControlBar* bar, RECT fill, RECT, BOOL) {
    const BarColours colours = ColoursOf(bar);
    Brush background(CreateSolidBrush(colours.background));
    FillRect(dc, &fill, background.Get());
    SetTextColor(dc, colours.text);
}

VisualManager& VisualManager::Current() {
    auto& slot = ManagerSlot();
    if (!slot)
        slot = std::make_unique<VisualManager>();
    return *slot;
}

void VisualManager::SetDefaultManager(std::unique_ptr<VisualManager> manager) {
    ManagerSlot() = std::move(manager);
}

RECT ControlBar::BarClientRect() const {
    return ClientRect();
}

// MenuBar

bool MenuBar::Create(HWND frame, UINT menuId) {
    m_frame = frame;
    m_menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    if (!m_menu || !SetMenu(frame, m_menu))
        return false;
    ApplyTheme();
    return true;
}

void MenuBar::ApplyTheme() {
    // The system draws the menu bar itself; only its background can be given.
    m_background.Reset(CreateSolidBrush(VisualManager::Current().ColoursOf(this).background));
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = m_background.Get();
    SetMenuInfo(m_menu, &info);
    if (m_frame)
        DrawMenuBar(m_frame);
}

// StatusBar

bool StatusBar::Create(HWND frame, int id) {
    RECT client{};
    GetClientRect(frame, &client);
    if (!Window::Create({.parent = frame,
                         .id = id,
                         .rect = {0, client.bottom - ScalePixels(kHeight, DpiOf(frame)),
                                  client.right, client.bottom},
                         .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                         .className = RegisterClassOnce(L"fw.StatusBar")}))
        return false;
    SetAccessible(m_hWnd,
                  {.role = ROLE_SYSTEM_STATUSBAR, .items = [this] { return AccessibleItems(); }});
    return true;
}

std::vector<AccessibleItem> StatusBar::AccessibleItems() const {
    std::vector<AccessibleItem> items;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const Element& element = m_elements[i];
        if (element.kind == Element::Separator ||
            element.text.find_first_not_of(L' ') == std::wstring::npos)
            continue;
        AccessibleItem& item = items.emplace_back(AccessibleItem{
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

void StatusBar::SendCommand(UINT command) const {
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

int StatusBar::ElementWidth(HDC dc, const Element& element) const {
    if (element.kind == Element::Separator)
        return Scaled(kSeparatorWidth);
    SIZE extent{};
    GetTextExtentPoint32W(dc, element.text.c_str(), static_cast<int>(element.text.size()), &extent);
    return extent.cx + 2 * Scaled(kElementPadding);
}

RECT StatusBar::ElementRect(size_t index) const {
    WindowDC dc(m_hWnd);
    SelectGuard font(dc.Get(), m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
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

void StatusBar::PaintContent(HDC dc) {
    const RECT client = ClientRect();
    VisualManager::Current().PaintBarBackground(dc, this, client, client, FALSE);
    SetBkMode(dc, TRANSPARENT);
    SelectGuard font(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF text = GetTextColor(dc);
    Pen separatorPen(CreatePen(PS_SOLID, Scaled(1), text));
    const int separatorInset = Scaled(kSeparatorInset);
    int x = 0;
    for (const Element& element : m_elements) {
        const int width = ElementWidth(dc, element);
        RECT rect{x, client.top, x + width, client.bottom};
        if (element.kind == Element::Separator) {
            SelectGuard pen(dc, separatorPen.Get());
            const int middle = x + width / 2;
            MoveToEx(dc, middle, client.top + separatorInset, nullptr);
            LineTo(dc, middle, client.bottom - separatorInset);
        } else {
            Font underlined;
            std::unique_ptr<SelectGuard> linkFont;
            if (element.kind == Element::Link) {
                LOGFONTW description{};
                GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof description, &description);
                description.lfUnderline = TRUE;
                underlined.Reset(CreateFontIndirectW(&description));
                linkFont = std::make_unique<SelectGuard>(dc, underlined.Get());
            }
            DrawTextW(dc, element.text.c_str(), static_cast<int>(element.text.size()), &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        x += width;
    }
}

int StatusBar::LinkAt(POINT point) const {
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const RECT rect = ElementRect(i);
        if (m_elements[i].kind == Element::Link && PtInRect(&rect, point))
            return static_cast<int>(i);
    }
    return -1;
}

bool StatusBar::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
        PaintDC dc(m_hWnd);
        const RECT client = ClientRect();
        OffscreenDC offscreen(dc.Get(), client.right, client.bottom);
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
        m_pressedLink = LinkAt(PointFrom(lParam));
        if (m_pressedLink >= 0)
            SetCapture(m_hWnd);
        result = 0;
        return true;
    case WM_LBUTTONUP: {
        const int pressed = std::exchange(m_pressedLink, -1);
        if (GetCapture() == m_hWnd)
            ReleaseCapture();
        if (pressed >= 0 && pressed == LinkAt(PointFrom(lParam)))
            SendCommand(m_elements[static_cast<size_t>(pressed)].command);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

// Frame

void Frame::LoadAcceleratorTable(UINT id) {
    m_accelerators = ::LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    m_acceleratorKeys.resize(
        m_accelerators ? static_cast<size_t>(CopyAcceleratorTableW(m_accelerators, nullptr, 0))
                       : 0);
    if (!m_acceleratorKeys.empty())
        CopyAcceleratorTableW(m_accelerators, m_acceleratorKeys.data(),
                              static_cast<int>(m_acceleratorKeys.size()));
}

UINT Frame::AcceleratorCommand(const MSG& message) const {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return 0;
    const BYTE held = (GetKeyState(VK_SHIFT) < 0 ? FSHIFT : 0) |
                      (GetKeyState(VK_CONTROL) < 0 ? FCONTROL : 0) |
                      (GetKeyState(VK_MENU) < 0 ? FALT : 0);
    for (const ACCEL& key : m_acceleratorKeys)
        if ((key.fVirt & FVIRTKEY) && key.key == message.wParam &&
            (key.fVirt & (FSHIFT | FCONTROL | FALT)) == held)
            return key.cmd;
    return 0;
}

void Frame::ApplyDpi(int dpi, const RECT* suggested) {
    // Everything inside learns the new scale before the new size lays it out.
    Send(kDpiChanged, static_cast<WPARAM>(dpi));
    EnumChildWindows(
        m_hWnd,
        [](HWND child, LPARAM dpi) {
            SendMessageW(child, kDpiChanged, static_cast<WPARAM>(dpi), 0);
            return TRUE;
        },
        dpi);
    if (suggested)
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Frame::RecalcLayout() {
    const RECT client = ClientRect();
    int bottom = client.bottom;
    if (m_statusBar) {
        const int height = Scaled(StatusBar::kHeight);
        bottom -= height;
        MoveWindow(m_statusBar, 0, bottom, client.right, height, TRUE);
    }
    if (HWND pane = GetDlgItem(m_hWnd, kFirstPaneId))
        MoveWindow(pane, 0, 0, client.right, bottom > 0 ? bottom : 0, TRUE);
}

bool Frame::HasCommand(UINT id) const {
    return Window::HasCommand(id) || (m_app && m_app->HasCommand(id));
}

void Frame::UpdateMenu(HMENU menu) const {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, i, TRUE, &item) || item.hSubMenu ||
            (item.fType & MFT_SEPARATOR))
            continue;
        EnableMenuItem(menu, i, MF_BYPOSITION | (CanRun(item.wID) ? MF_ENABLED : MF_GRAYED));
    }
}

bool Frame::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Menu items and accelerators (and the status bar's links) carry no control handle.
    if (message != WM_COMMAND || lParam != 0)
        return false;
    // A disabled frame (a dialog of its own is up, or it waits for another
    // program) runs no command, not even one posted by another program.
    const UINT id = LOWORD(wParam);
    if (IsWindowEnabled(m_hWnd) && CanRun(id)) {
        const WPARAM command = MAKEWPARAM(id, 0);
        if (!ProcessMessage(message, command, 0, result) && m_app)
            m_app->ProcessMessage(message, command, 0, result);
    }
    result = 0;
    return true;
}

bool Frame::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SETFOCUS:
        // The frame passes the keys on to its page whenever it gets them, as
        // when it is activated again.
        if (m_activeView && IsWindowVisible(m_activeView->Handle()))
            m_activeView->TakeFocus();
        result = 0;
        return true;
    case WM_SIZE:
        RecalcLayout();
        result = 0;
        return true;
    case WM_DPICHANGED:
        ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam))
            UpdateMenu(reinterpret_cast<HMENU>(wParam));
        result = 0;
        return true;
    case WM_NCDESTROY:
        if (m_app)
            PostQuitMessage(0);
        return false;
    default:
        return false;
    }
}

} // namespace fw
