#include "controls/Controls.h"

// clang-format off
constexpr fw::MessageEntry<CCustomEdit> CCustomEdit::kMessages[] = {
    fw::msg::Paint<&CCustomEdit::OnPaint>(),
    fw::msg::Raw<WM_NCPAINT, &CCustomEdit::OnNcPaint>(),
};
// clang-format on

bool CCustomEdit::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result) ||
           fw::Control::ProcessMessage(message, wParam, lParam, result);
}

void CCustomEdit::OnPaint() {
    Default();
    // The frame goes over the control's own border, on the outermost ring of
    // the whole window, after every paint.
    fw::WindowDC dc(m_hWnd, fw::WindowDC::Whole);
    RECT rect = WindowRect();
    OffsetRect(&rect, -rect.left, -rect.top);
    fw::Brush brush(CreateSolidBrush(RGB(29, 117, 189)));
    FrameRect(dc.Get(), &rect, brush.Get());
}

LRESULT CCustomEdit::OnNcPaint(WPARAM, LPARAM) {
    return Default();
}
