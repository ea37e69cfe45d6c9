#include "controls/Controls.h"

// clang-format off
const fw::MessageTable<CCustomEdit> CCustomEdit::kMessages = {
    fw::msg::Paint<&CCustomEdit::OnPaint>(),
};
// clang-format on

void CCustomEdit::OnPaint() {
    Default();
    // The frame goes over the control's own border, on the outermost ring of
    // the whole window, after every paint.
    fw::WindowDC dc(m_hWnd, fw::WindowDC::Whole);
    RECT rect = WindowRect();
    OffsetRect(&rect, -rect.left, -rect.top);
    fw::Brush brush(CreateSolidBrush(RGB(29, 117, 189)));
    // One pixel at 96 DPI, as thick as the scale makes it elsewhere.
    for (int ring = Scaled(1); ring > 0; --ring) {
        FrameRect(dc.Get(), &rect, brush.Get());
        InflateRect(&rect, -1, -1);
    }
}
