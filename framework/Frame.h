// Views, bars and the main frame window.
#pragma once

#include "framework/Gdi.h"
#include "framework/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {

struct AccessibleItem;
class Application;

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

class ControlBar;

// The colours of a bar: its background and the text drawn on it.
struct BarColours {
    COLORREF background;
    COLORREF text;
};

// Draws the backgrounds of the frame's bars. The program installs its own.
class VisualManager {
public:
    virtual ~VisualManager() = default;
    virtual BarColours ColoursOf(const ControlBar* bar) const;
    // Fills a bar's background in its colours; `scratch` is room the manager may use.
    virtual void PaintBarBackground(HDC dc, ControlBar* bar, RECT fill, RECT scratch, BOOL flag);

    static VisualManager& Current();
    static void SetDefaultManager(std::unique_ptr<VisualManager> manager);
};

// A bar of the frame (menu bar or status bar).
class ControlBar : public Window {
public:
    // Client rectangle of the bar's window, or the given one for windowless bars.
    RECT BarClientRect() const;
};

// The frame's menu bar: the frame's own window menu, whose background
// colour comes from the visual manager.
class MenuBar : public ControlBar {
public:
    bool Create(HWND frame, UINT menuId);
    HMENU Menu() const { return m_menu; }
    // Gives the menu the visual manager's background colour for the bar.
    void ApplyTheme();

private:
    HWND m_frame = nullptr;
    HMENU m_menu = nullptr;
    Brush m_background;
};

// The status bar: a row of labels, links and separators, left to right.
class StatusBar : public ControlBar {
public:
    struct Element {
        enum Kind { Label, Link, Separator } kind;
        std::wstring text;
        UINT command = 0;          // links: the command sent to the frame on a click
        std::wstring address = {}; // links: where the command goes, told to screen readers
    };
    static constexpr int kHeight = 24; // at 96 DPI

    // Creates the bar; screen readers find its labels and links as its parts.
    bool Create(HWND frame, int id);
    void AddLabel(const std::wstring& text) { m_elements.push_back({Element::Label, text}); }
    void AddLink(const std::wstring& text, UINT command, const std::wstring& address) {
        m_elements.push_back({Element::Link, text, command, address});
    }
    void AddSeparator() { m_elements.push_back({Element::Separator, {}}); }
    const std::vector<Element>& Elements() const { return m_elements; }
    // Where an element is drawn, in client coordinates.
    RECT ElementRect(size_t index) const;
    void PaintContent(HDC dc);
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int ElementWidth(HDC dc, const Element& element) const;
    void SendCommand(UINT command) const;
    // The labels with text, and the links, as screen readers see them.
    std::vector<AccessibleItem> AccessibleItems() const;
    // The index of the link at a client point, or -1.
    int LinkAt(POINT point) const;
    std::vector<Element> m_elements;
    int m_pressedLink = -1; // the link the left button went down on
    HFONT m_font = nullptr; // set by WM_SETFONT, owned by the sender
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
    void SetStatusBarWindow(HWND bar) { m_statusBar = bar; }
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
};

} // namespace fw
