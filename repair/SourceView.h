// Page 0: choosing the damaged video and starting the repair.
#pragma once

#include "framework/Frame.h"

class CDravix_Video_RecoveryView : public fw::View {
public:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
};
