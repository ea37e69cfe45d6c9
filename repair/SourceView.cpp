#include "repair/SourceView.h"

bool CDravix_Video_RecoveryView::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                LRESULT& result) {
    return fw::View::ProcessMessage(message, wParam, lParam, result);
}

void CDravix_Video_RecoveryView::OnDraw(HDC dc) {
    if (!GetDocument())
        return;
    const RECT client = ClientRect();
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
