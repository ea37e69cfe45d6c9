#include "controls/Controls.h"

#include <shellapi.h>

CStaticLink::OpenFunction CStaticLink::s_pfnOpen = ShellExecuteW;
CStaticLink::BeepFunction CStaticLink::s_pfnBeep = MessageBeep;

// clang-format off
constexpr fw::MessageEntry<CStaticLink> CStaticLink::kMessages[] = {
    fw::msg::ReflectedCtlColor<&CStaticLink::CtlColor>(),
    fw::msg::ReflectedCommand<STN_CLICKED, &CStaticLink::OnClicked>(),
};
// clang-format on

bool CStaticLink::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result) ||
           fw::Control::ProcessMessage(message, wParam, lParam, result);
}

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
    const auto result = reinterpret_cast<INT_PTR>(
        s_pfnOpen(nullptr, L"open", m_link.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        s_pfnBeep(0);
        return;
    }
    m_bVisited = TRUE;
    Invalidate(true);
}
