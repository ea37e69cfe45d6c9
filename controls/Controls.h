// The program's themed controls: the image push button of both pages, the
// hyperlink, transparent-text and framed-edit controls, the colour theme and
// the status bar.
#pragma once

#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/Picture.h"
#include "framework/Window.h"

#include <string>
#include <vector>

namespace fw {
struct AccessibleItem;
}

// An owner-drawn push button that paints a normal picture, or a hover picture
// while the pointer rests on it, sizes itself to the normal picture and
// carries its own tooltip.
class CToolButton : public fw::Mapped<CToolButton, fw::Control> {
public:
    ~CToolButton() override;
    // Creates the button as an owner-drawn push button ("BUTTON" unless
    // another class is given).
    bool Create(fw::CreateArgs args);
    // Loads both pictures (resource ids) and sizes the button to the normal one.
    // Pictures the prefetch decoded at the button's DPI are taken from there.
    BOOL SetBitmaps(UINT normalId, UINT hoverId, fw::PicturePrefetch* prefetch = nullptr);
    // Makes the tooltip, when there is none yet, and gives it this text. Its
    // area is set once, by the first call: the normal picture's (the
    // button's client area, when it has no picture).
    void SetTooltipText(const std::wstring* text);
    // Tells accessibility clients that this is a push button with this name
    // and description (its tooltip's text); the caption stays as it is.
    void SetAccessibleName(const std::wstring& name, const std::wstring& description);
    bool PreTranslateMessage(MSG& message) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

    bool IsHover() const { return m_bHover != FALSE; }
    bool IsTracking() const { return m_bTracking != FALSE; }
    SIZE PictureSize() const { return {m_nWidth, m_nHeight}; }
    HWND Tooltip() const { return m_ToolTip; }

private:
    friend Mapped;
    void OnLButtonDown(UINT keys, POINT point);
    void OnMouseMove(UINT keys, POINT point);
    void OnMouseLeave();
    void OnMouseHover(UINT keys, POINT point);
    bool OnEraseBkgnd(HDC dc);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    void OnDestroy();
    void OnDpiChanged(int dpi);
    // Loads both pictures for the button's DPI.
    void LoadPictures(fw::PicturePrefetch* prefetch = nullptr);
    void EnsureTooltip();
    void DestroyTooltip();

    static const fw::MessageTable<CToolButton> kMessages;

    BOOL m_bHover = FALSE;
    int m_nWidth = 0;
    int m_nHeight = 0;
    UINT m_nNormalId = 0;
    UINT m_nHoverId = 0;
    fw::Bitmap m_bmpNormal;
    fw::Bitmap m_bmpHover;
    BOOL m_bTracking = FALSE;
    HWND m_ToolTip = nullptr;   // owned by the button and destroyed with it
    bool m_bShownHover = false; // the last paint showed the hover picture
};

// Opens what a link points at. The program's goes through the desktop's
// shell; tests hand in their own.
class CLinkOpener {
public:
    virtual ~CLinkOpener() = default;
    // False when the target could not be opened.
    virtual bool Open(const std::wstring& target);
    virtual void Beep();
};

// A static text that acts as a hyperlink: underlined, blue until opened and
// purple afterwards; a click opens m_link (or the control's own text), and so
// do Enter and Space while it has the focus, which a dotted frame then shows.
class CStaticLink : public fw::Mapped<CStaticLink, fw::Control> {
public:
    std::wstring m_link;
    // Null: the shell.
    CLinkOpener* m_pOpener = nullptr;

    bool IsVisited() const { return m_bVisited != FALSE; }

private:
    friend Mapped;
    HBRUSH CtlColor(HDC dc, UINT kind);
    void OnClicked();
    LRESULT OnGetDlgCode(WPARAM key, LPARAM message);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnFocusChange(WPARAM, LPARAM);
    void OnPaint();

    static const fw::MessageTable<CStaticLink> kMessages;

    COLORREF m_colorUnvisited = RGB(0, 0, 255);
    COLORREF m_colorVisited = RGB(128, 0, 128);
    BOOL m_bVisited = FALSE;
    fw::Font m_font;
};

// A static text drawn in black without background; it has its parent repaint
// behind it when its text changes.
class CTransparentStatic : public fw::Mapped<CTransparentStatic, fw::Control> {
private:
    friend Mapped;
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    HBRUSH CtlColor(HDC dc, UINT kind);

    static const fw::MessageTable<CTransparentStatic> kMessages;
};

// An edit control framed by a one-pixel line in the program's blue.
class CCustomEdit : public fw::Mapped<CCustomEdit, fw::Control> {
private:
    friend Mapped;
    void OnPaint();

    static const fw::MessageTable<CCustomEdit> kMessages;
};

// The program's colour theme: a blue status bar with white text, every other
// bar white with black text.
struct CColorThemeManager {
    static constexpr fw::BarColours kStatusBar = {RGB(24, 129, 173), RGB(255, 255, 255)};
    static constexpr fw::BarColours kOtherBars = {RGB(255, 255, 255), RGB(0, 0, 0)};
};

// The main frame's status bar: a row of labels, links and separators, left
// to right, in the colours it is made with. A click on a link sends the
// link's command to the frame.
class CStatusBar : public fw::Window {
public:
    struct Element {
        enum Kind { Label, Link, Separator } kind;
        std::wstring text;
        UINT command = 0;          // links: the command sent to the frame on a click
        std::wstring address = {}; // links: where the command goes, told to screen readers
    };
    static constexpr int kHeight = 24; // at 96 DPI

    // Creates the bar; screen readers find its labels and links as its parts.
    bool Create(HWND frame, int id, fw::BarColours colours);
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
    std::vector<fw::AccessibleItem> AccessibleItems() const;
    // The index of the link at a client point, or -1.
    int LinkAt(POINT point) const;
    std::vector<Element> m_elements;
    int m_pressedLink = -1; // the link the left button went down on
    HFONT m_font = nullptr; // set by WM_SETFONT, owned by the sender
    fw::BarColours m_colours{};
};
