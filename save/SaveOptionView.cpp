#include "save/SaveOptionView.h"

bool CSaveOptionView::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::View::ProcessMessage(message, wParam, lParam, result);
}

void CSaveOptionView::OnDraw(HDC dc) {
    if (!GetDocument())
        return;
    const RECT client = ClientRect();
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
