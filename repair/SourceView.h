// Page 0: choosing the damaged video and starting the repair.
#pragma once

#include "controls/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"

#include <memory>
#include <string>

class CDravix_Video_RecoveryView : public fw::View {
public:
    CDravix_Video_RecoveryView();
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Shows a chosen file: the check mark on the Add button, the path in the text line.
    void ShowSourceFile(const std::wstring& path);

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;

private:
    int OnCreate(const CREATESTRUCTW& cs);
    void OnContextMenu(HWND window, POINT screen);
    void OnRButtonUp(UINT keys, POINT client);
    void OnSize(UINT type, int cx, int cy);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnBnClickedAdd();
    void OnBnClickedRepair();
    void ShowEditMenu(POINT screen);
    void DrawBackground(HDC dc, const RECT& client);

    static const fw::MessageEntry<CDravix_Video_RecoveryView> kMessages[];

    fw::Brush m_brushBackground;
    fw::Control m_staticPath;
    CToolButton m_btnAdd;
    CToolButton m_btnRepair;
    std::unique_ptr<fw::Font> m_pFont;
};
