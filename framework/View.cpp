#include "framework/View.h"

#include "framework/Gdi.h"

#include <algorithm>

namespace fw {
namespace {
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

} // namespace fw
