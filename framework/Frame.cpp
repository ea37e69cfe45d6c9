#include "framework/Frame.h"

#include "framework/Application.h"

namespace fw {

bool MenuBar::Create(HWND frame, UINT menuId, BarColours colours) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    if (!menu || !SetMenu(frame, menu)) {
        if (menu)
            DestroyMenu(menu);
        return false;
    }
    // The frame destroys its menu; the background brush is the bar's.
    m_background.Reset(CreateSolidBrush(colours.background));
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = m_background.Get();
    SetMenuInfo(menu, &info);
    DrawMenuBar(frame);
    return true;
}

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
        const int height = Scaled(m_statusBarHeight);
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
