#include "controls/Controls.h"

fw::StatusBar* g_pStatusBar = nullptr;

namespace {
constexpr fw::BarColours kStatusBar = {RGB(24, 129, 173), RGB(255, 255, 255)};
constexpr fw::BarColours kOtherBars = {RGB(255, 255, 255), RGB(0, 0, 0)};

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    fw::Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Get());
}
} // namespace

fw::BarColours CColorThemeManager::ColoursOf(const fw::ControlBar* bar) const {
    return bar && bar == g_pStatusBar ? kStatusBar : kOtherBars;
}

void CColorThemeManager::PaintBarBackground(HDC dc, fw::ControlBar* bar, RECT fill, RECT, BOOL) {
    if (!dc || !bar)
        return;
    Fill(dc, fill, kOtherBars.background);
    SetTextColor(dc, kOtherBars.text);
    if (bar == g_pStatusBar) {
        // The whole bar turns blue, even when only part of it was asked for.
        RECT client = bar->BarClientRect();
        client.top = 0;
        Fill(dc, client, kStatusBar.background);
        Fill(dc, fill, kStatusBar.background);
        SetTextColor(dc, kStatusBar.text);
    }
}
