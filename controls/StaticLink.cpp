#include "controls/Controls.h"

#include "framework/Shell.h"

bool CLinkOpener::Open(const std::wstring& target) {
    return fw::OpenLink(target, SW_SHOWNORMAL);
}

void CLinkOpener::Beep() {
    MessageBeep(0);
}

// clang-format off
const fw::MessageTable<CStaticLink> CStaticLink::kMessages = {
    fw::msg::ReflectedCtlColor<&CStaticLink::CtlColor>(),
    fw::msg::ReflectedCommand<STN_CLICKED, &CStaticLink::OnClicked>(),
    fw::msg::Raw<WM_GETDLGCODE, &CStaticLink::OnGetDlgCode>(),
    fw::msg::Raw<WM_KEYDOWN, &CStaticLink::OnKeyDown>(),
    fw::msg::Raw<WM_SETFOCUS, &CStaticLink::OnFocusChange>(),
    fw::msg::Raw<WM_KILLFOCUS, &CStaticLink::OnFocusChange>(),
    fw::msg::Paint<&CStaticLink::OnPaint>(),
};
// clang-format on

HBRUSH CStaticLink::CtlColor(HDC dc, UINT) {
    // A static reports clicks only with SS_NOTIFY; without it, it is also
    // transparent to the mouse.
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    if (!(style & SS_NOTIFY))
        SetWindowLongW(m_hWnd, GWL_STYLE, style | SS_NOTIFY);

    if (!m_font) {
        // A static without a font of its own draws with the system font.
        HFONT current = reinterpret_cast<HFONT>(Send(WM_GETFONT));
        if (!current)
            current = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        LOGFONTW description{};
        if (GetObjectW(current, sizeof description, &description)) {
            description.lfUnderline = TRUE;
            m_font.Reset(CreateFontIndirectW(&description));
            // Wine's static selects its own font only after this request,
            // which would undo the selection below: carrying the copy as its
            // own font keeps the underline on every platform.
            if (m_font)
                Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
        }
    }
    if (m_font)
        SelectObject(dc, m_font.Get());
    SetTextColor(dc, m_bVisited ? m_colorVisited : m_colorUnvisited);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnClicked() {
    // The first click fixes the target: a later change of the text does not move it.
    if (m_link.empty())
        m_link = GetText();
    CLinkOpener shell;
    CLinkOpener& opener = m_pOpener ? *m_pOpener : shell;
    if (!opener.Open(m_link)) {
        opener.Beep();
        return;
    }
    m_bVisited = TRUE;
    Invalidate(true);
}

LRESULT CStaticLink::OnGetDlgCode(WPARAM, LPARAM message) {
    // Enter on a focused link opens it; the dialog would take it for its OK.
    const auto* keys = reinterpret_cast<const MSG*>(message);
    const bool enter = keys && keys->message == WM_KEYDOWN && keys->wParam == VK_RETURN;
    return Default() | (enter ? DLGC_WANTMESSAGE : 0);
}

LRESULT CStaticLink::OnKeyDown(WPARAM key, LPARAM flags) {
    constexpr LPARAM kRepeat = 1 << 30;
    if ((key != VK_RETURN && key != VK_SPACE) || (flags & kRepeat))
        return Default();
    OnClicked();
    return 0;
}

LRESULT CStaticLink::OnFocusChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    // The text is transparent: the parent paints behind the frame that goes.
    if (HWND parent = GetParent(m_hWnd)) {
        const RECT rect = RectInParent();
        RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return result;
}

void CStaticLink::OnPaint() {
    Default();
    if (GetFocus() != m_hWnd || (Send(WM_QUERYUISTATE) & UISF_HIDEFOCUS))
        return;
    fw::WindowDC dc(m_hWnd);
    RECT rect = ClientRect();
    DrawFocusRect(dc.Get(), &rect);
}
