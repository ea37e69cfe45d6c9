// The main frame window and its menu bar.
#pragma once

#include "framework/Gdi.h"
#include "framework/View.h"

#include <vector>

namespace fw {

class Application;

// The colours of a bar: its background and the text drawn on it.
struct BarColours {
    COLORREF background;
    COLORREF text;
};

// The frame's menu bar: the frame's own window menu, on a background of the
// given colour. The system draws the rest of it.
class MenuBar {
public:
    bool Create(HWND frame, UINT menuId, BarColours colours);

private:
    Brush m_background;
};

// The main window: menu, accelerators, status bar and the active view in between.
// Commands from the menu, the accelerators and the status bar go to the frame,
// then to the application whose main frame it is, and only when they can run.
class Frame : public Window {
public:
    View* ActiveView() const { return m_activeView; }
    void SetActiveView(View* view) { m_activeView = view; }
    // Sizes the first pane (the view with id kFirstPaneId) and the status bar.
    void RecalcLayout();
    HACCEL Accelerators() const { return m_accelerators; }
    void LoadAcceleratorTable(UINT id);
    // The command that the accelerators give a key message, or 0.
    UINT AcceleratorCommand(const MSG& message) const;
    // The bar along the bottom, `height` pixels high at 96 DPI.
    void SetStatusBar(HWND bar, int height) {
        m_statusBar = bar;
        m_statusBarHeight = height;
    }
    // Shows the frame at a new DPI (WM_DPICHANGED): tells every window in it,
    // then takes the suggested rectangle and lays the frame out again.
    void ApplyDpi(int dpi, const RECT* suggested);

    // Whether the frame or its application has a handler for the command.
    bool HasCommand(UINT id) const override;
    // Whether the command can run now; the menu greys the others, and they
    // do not run however they arrive. Here: whenever it has a handler.
    virtual bool CanRun(UINT id) const { return HasCommand(id); }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // Commands from the menu, the accelerators and the bars are taken here
    // before any message table sees them.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    friend class Application;
    void UpdateMenu(HMENU menu) const;
    Application* m_app = nullptr; // whose main frame this is
    View* m_activeView = nullptr;
    HACCEL m_accelerators = nullptr;
    std::vector<ACCEL> m_acceleratorKeys;
    HWND m_statusBar = nullptr;
    int m_statusBarHeight = 0;
};

} // namespace fw
