#include "controls/Controls.h"

// clang-format off
const fw::MessageTable<CTransparentStatic> CTransparentStatic::kMessages = {
    fw::msg::Raw<WM_SETTEXT, &CTransparentStatic::OnSetText>(),
    fw::msg::ReflectedCtlColor<&CTransparentStatic::CtlColor>(),
};
// clang-format on

LRESULT CTransparentStatic::OnSetText(WPARAM, LPARAM) {
    const LRESULT result = Default();
    // Nothing paints behind a transparent text, so the parent restores its own
    // background over the old text before the new one is drawn.
    HWND parent = GetParent(m_hWnd);
    if (parent && (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)) {
        const RECT rect = RectInParent();
        InvalidateRect(parent, &rect, TRUE);
        UpdateWindow(parent);
    }
    return result;
}

HBRUSH CTransparentStatic::CtlColor(HDC dc, UINT) {
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
