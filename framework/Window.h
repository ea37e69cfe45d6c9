// Window objects over Win32 handles.
//
// WindowRef is a non-owning view of any HWND. The owning classes bind one C++
// object to one window for the window's life: Window for windows of our own
// classes (the object travels through lpCreateParams), Control for system
// controls that we subclass, Dialog for modal dialogs from a template (the
// object travels through the DialogBoxParam lParam).
#pragma once

#include "framework/MessageMap.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace fw {

// The DPI a window is shown at: its monitor's where the system scales each
// monitor on its own, otherwise the system's.
int DpiOf(HWND window);
// The reference data of a subclass of a window (SetWindowSubclass); 0 when
// the window has no such subclass.
DWORD_PTR SubclassData(HWND window, SUBCLASSPROC procedure, UINT_PTR id);

class WindowRef {
public:
    WindowRef(HWND window = nullptr) : m_hWnd(window) {}

    HWND Handle() const { return m_hWnd; }
    explicit operator bool() const { return m_hWnd != nullptr && IsWindow(m_hWnd); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(m_hWnd, message, wParam, lParam);
    }
    std::wstring GetText() const;
    void SetText(const std::wstring& text) const { SetWindowTextW(m_hWnd, text.c_str()); }
    WindowRef Item(int id) const { return GetDlgItem(m_hWnd, id); }
    WindowRef Parent() const { return GetParent(m_hWnd); }
    int Id() const { return GetDlgCtrlID(m_hWnd); }
    void SetId(int id) const { SetWindowLongPtrW(m_hWnd, GWLP_ID, id); }
    RECT ClientRect() const;
    RECT WindowRect() const;
    // The window's rectangle in its parent's client coordinates.
    RECT RectInParent() const;
    void MoveTo(int x, int y, int width, int height, bool repaint = true) const {
        MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void Show(int command) const { ShowWindow(m_hWnd, command); }
    bool IsVisible() const { return IsWindowVisible(m_hWnd) != FALSE; }
    void Invalidate(bool erase = true) const { InvalidateRect(m_hWnd, nullptr, erase); }
    void SetFont(HFONT font, bool redraw = true) const {
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    LONG_PTR Style() const { return GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    // Centres the window on the work area of its monitor.
    void CenterOnScreen() const;
    // Centres the window over its owner, as a dialog opens; on the screen
    // when it has no visible owner.
    void CenterOnOwner() const;

protected:
    HWND m_hWnd;
};

// Plain arguments for creating a window or a control.
struct CreateArgs {
    HWND parent = nullptr;
    int id = 0;
    RECT rect = {0, 0, 0, 0};
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    const wchar_t* text = L"";
    const wchar_t* className = nullptr; // Window: our class; Control: the system class
    HMENU menu = nullptr;               // top-level windows only
};

// What every bound window object shares: the message currently handled, its
// default processing and the reflection of child notifications.
class WindowBase : public WindowRef, public MessageTarget {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase() = default;

    // The object bound to a window of this program, or null.
    static WindowBase* FromHandle(HWND window);

    // Called by the message loop for messages on their way to this window or
    // its children; true swallows the message.
    virtual bool PreTranslateMessage(MSG& message);

    UINT CurrentMessage() const { return m_current.message; }
    // The DPI the window is shown at, as the last kDpiChanged told it; until
    // then its parent's, or as the system reports it.
    int Dpi() const;
    // A length given in pixels at 96 DPI, in pixels at the window's DPI.
    int Scaled(int pixels) const;
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // The processing the window would get without this object.
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Default processing of the message being handled, child reflection included.
    LRESULT Default();

    // Asked before the message table; a frame routes its commands here.
    virtual bool RouteMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    struct Current {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    } m_current;
    int m_dpi = 0;
};

// A window of a class registered by this program.
class Window : public WindowBase {
public:
    ~Window() override;
    // Creates the window; className defaults to a plain class without background.
    bool Create(const CreateArgs& args);
    void Destroy();

    // Registers a window class once; returns its name.
    static const wchar_t* RegisterClassOnce(const wchar_t* name, UINT style = 0,
                                            HICON icon = nullptr, HBRUSH background = nullptr,
                                            HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW));

protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProcW(m_hWnd, message, wParam, lParam);
    }

private:
    friend WindowBase;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A system control (button, static, edit...) subclassed by this object.
class Control : public WindowBase {
public:
    ~Control() override;
    bool Create(const CreateArgs& args);
    // Binds the object to an existing control; false if it is bound already.
    bool Attach(HWND control);
    bool AttachItem(HWND dialog, int id) { return Attach(GetDlgItem(dialog, id)); }
    void Detach();

protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefSubclassProc(m_hWnd, message, wParam, lParam);
    }

private:
    friend WindowBase;
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
};

// A modal dialog from a template of this program's resources.
class Dialog : public WindowBase {
public:
    explicit Dialog(UINT templateId) : m_templateId(templateId) {}
    // Runs the dialog; the owner is disabled meanwhile. Returns the EndDialog code.
    INT_PTR DoModal(HWND owner = nullptr);
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

protected:
    // TRUE lets the system set the default focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Sends IDOK and IDCANCEL to OnOK and OnCancel.
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The dialog manager's own handling: nothing beyond its return of FALSE.
    LRESULT DefaultProc(UINT, WPARAM, LPARAM) override {
        m_defaulted = true;
        return 0;
    }

private:
    friend WindowBase;
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    UINT m_templateId;
    bool m_defaulted = false;
};

} // namespace fw
