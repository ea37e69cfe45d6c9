#include "controls/Controls.h"

#include "app/MainFrame.h"

namespace {
constexpr COLORREF kStatusBlue = RGB(24, 129, 173);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    fw::Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Get());
}
} // namespace

void CColorThemeManager::PaintBarBackground(HDC dc, fw::ControlBar* bar, RECT fill, RECT, BOOL) {
    if (!dc || !bar)
        return;
    Fill(dc, fill, kWhite);
    SetTextColor(dc, kBlack);
    if (bar == g_pStatusBar) {
        // The whole bar turns blue, even when only part of it was asked for.
        RECT client = bar->BarClientRect();
        client.top = 0;
        Fill(dc, client, kStatusBlue);
        Fill(dc, fill, kStatusBlue);
        SetTextColor(dc, kWhite);
    }
}
