// Page 1: choosing where the repaired video goes, saving and previewing it.
#pragma once

#include "framework/Frame.h"

class CSaveOptionView : public fw::View {
public:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
};
