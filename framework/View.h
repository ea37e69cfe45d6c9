// A page of the main frame: a child window that paints through
// PaintContent and moves the focus through its controls with Tab.
#pragma once

#include "framework/Window.h"

#include <vector>

namespace fw {

inline constexpr int kFirstPaneId = 0xE900;

// A child window of the frame that shows one page of the program.
class View : public Window {
public:
    // Creates the view as a child of the frame; PreCreateStyle may change the style.
    bool CreateView(HWND parent, int id, DWORD style, const RECT& rect);
    // Lays the view out again at its present size, as a WM_SIZE does.
    void LayOut() const {
        const RECT client = ClientRect();
        Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    // Paints the view into any DC, as WM_PAINT and WM_PRINTCLIENT do.
    void PaintContent(HDC dc) { OnDraw(dc); }
    // Gives the keyboard focus to the view, or to the control of it that
    // takes the keys first.
    virtual void TakeFocus() { SetFocus(m_hWnd); }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Tab and Shift+Tab move the focus through TabOrder() while the page or
    // one of its controls has it; from the first Tab on, the focused control
    // shows that it has the focus.
    bool PreTranslateMessage(MSG& message) override;

protected:
    virtual DWORD PreCreateStyle(DWORD style) { return style; }
    // The controls Tab visits, in reading order; empty: the WS_TABSTOP
    // controls in the order of their windows.
    virtual std::vector<HWND> TabOrder() const { return {}; }
    virtual void OnDraw(HDC) {}
    // Sends a command to the frame, as its menu would: the frame runs it
    // only while it is enabled.
    void SendCommand(UINT id) const;

private:
    bool m_hideFocus = false;
};

} // namespace fw
