#include "framework/Window.h"

#include "framework/Gdi.h"

#include <commctrl.h>

namespace fw {
namespace {
HWND ReflectionTarget(UINT message, LPARAM lParam) {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return reinterpret_cast<HWND>(lParam);
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    default:
        return nullptr;
    }
}
} // namespace

int DpiOf(HWND window) {
    // Per window from Windows 10 on; older systems scale the whole desktop alike.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow && window)
        if (const UINT dpi = dpiForWindow(window))
            return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

DWORD_PTR SubclassData(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    // mingw-w64's import library leaves GetWindowSubclass out; comctl32
    // exports it by name.
    using SubclassOf = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    static const auto subclassOf = reinterpret_cast<SubclassOf>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "GetWindowSubclass")));
    DWORD_PTR data = 0;
    return subclassOf && subclassOf(window, procedure, id, &data) ? data : 0;
}

std::wstring WindowRef::GetText() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT WindowRef::ClientRect() const {
    RECT rect{};
    GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT WindowRef::WindowRect() const {
    RECT rect{};
    GetWindowRect(m_hWnd, &rect);
    return rect;
}

RECT WindowRef::RectInParent() const {
    RECT rect = WindowRect();
    MapWindowPoints(nullptr, GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void WindowRef::CenterOnScreen() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT rect = WindowRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const RECT& work = monitor.rcWork;
    SetWindowPos(m_hWnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowRef::CenterOnOwner() const {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (!owner || !IsWindowVisible(owner)) {
        CenterOnScreen();
        return;
    }
    const RECT around = WindowRef(owner).WindowRect();
    const RECT rect = WindowRect();
    SetWindowPos(m_hWnd, nullptr, (around.left + around.right - (rect.right - rect.left)) / 2,
                 (around.top + around.bottom - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowBase* WindowBase::FromHandle(HWND window) {
    // Each kind keeps its object where its procedure finds it, and nowhere else.
    if (!window)
        return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == Window::WindowProc)
        return reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (const DWORD_PTR control = SubclassData(window, Control::SubclassProc, 1))
        return reinterpret_cast<Control*>(control);
    // Only a dialog has the dialog slots to read.
    if (GetClassLongPtrW(window, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG) &&
        reinterpret_cast<DLGPROC>(GetWindowLongPtrW(window, DWLP_DLGPROC)) == Dialog::DialogProc)
        return reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return nullptr;
}

bool WindowBase::PreTranslateMessage(MSG&) {
    return false;
}

bool WindowBase::ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool WindowBase::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = ReflectionTarget(message, lParam);
    if (!child || child == m_hWnd || !FromHandle(child))
        return false;
    result = SendMessageW(child, kReflectBase + message, wParam, lParam);
    return result != 0;
}

LRESULT WindowBase::Default() {
    const Current current = m_current;
    LRESULT result = 0;
    if (current.message != WM_COMMAND &&
        Reflect(current.message, current.wParam, current.lParam, result))
        return result;
    return DefaultProc(current.message, current.wParam, current.lParam);
}

int WindowBase::Dpi() const {
    if (m_dpi)
        return m_dpi;
    // A window made after its frame learnt a new DPI is shown at that DPI too.
    HWND parent = (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) ? GetParent(m_hWnd) : nullptr;
    if (const WindowBase* bound = FromHandle(parent))
        return bound->Dpi();
    return DpiOf(m_hWnd);
}

int WindowBase::Scaled(int pixels) const {
    return ScalePixels(pixels, Dpi());
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDpiChanged && wParam)
        m_dpi = static_cast<int>(wParam);
    const Current saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    try {
        // A control's own notifications go to the control first, as the
        // control classes answer their clicks themselves.
        if (!RouteMessage(message, wParam, lParam, result) &&
            !(message == WM_COMMAND && lParam && Reflect(message, wParam, lParam, result)) &&
            !ProcessMessage(message, wParam, lParam, result))
            result = Default();
    } catch (...) {
        // No exception may cross the window procedure into the system; one
        // in the making of a window fails the making.
        result = message == WM_CREATE ? -1 : 0;
    }
    m_current = saved;
    return result;
}

// Window

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

const wchar_t* Window::RegisterClassOnce(const wchar_t* name, UINT style, HICON icon,
                                         HBRUSH background, HCURSOR cursor) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing))
        return name;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
    return name;
}

bool Window::Create(const CreateArgs& args) {
    const wchar_t* className = args.className ? args.className : RegisterClassOnce(L"fw.Window");
    HMENU menuOrId = args.menu;
    if (args.style & WS_CHILD)
        menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id));
    CreateWindowExW(args.exStyle, className, args.text, args.style, args.rect.left, args.rect.top,
                    args.rect.right - args.rect.left, args.rect.bottom - args.rect.top, args.parent,
                    menuOrId, GetModuleHandleW(nullptr), this);
    return m_hWnd != nullptr;
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->m_hWnd = window;
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

// Control

Control::~Control() {
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

bool Control::Create(const CreateArgs& args) {
    HWND control = CreateWindowExW(
        args.exStyle, args.className, args.text, args.style, args.rect.left, args.rect.top,
        args.rect.right - args.rect.left, args.rect.bottom - args.rect.top, args.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr), nullptr);
    return control && Attach(control);
}

bool Control::Attach(HWND control) {
    if (!control || m_hWnd || FromHandle(control))
        return false;
    if (!SetWindowSubclass(control, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = control;
    return true;
}

void Control::Detach() {
    if (!m_hWnd)
        return;
    RemoveWindowSubclass(m_hWnd, SubclassProc, 1);
    m_hWnd = nullptr;
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<Control*>(refData);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, 1);
        self->m_hWnd = nullptr;
    }
    return result;
}

// Dialog

INT_PTR Dialog::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) > 1)
        return false;
    if (LOWORD(wParam) == IDOK)
        OnOK();
    else if (LOWORD(wParam) == IDCANCEL)
        OnCancel();
    else
        return false;
    result = 0;
    return true;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->m_hWnd = dialog;
        try {
            return self->OnInitDialog();
        } catch (...) {
            return TRUE;
        }
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self)
        return FALSE;
    const bool saved = self->m_defaulted;
    self->m_defaulted = false;
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    const bool handled = !self->m_defaulted;
    self->m_defaulted = saved;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    if (!handled)
        return FALSE;
    // These messages return their result directly; all others through DWLP_MSGRESULT.
    if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
        message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
        message == WM_QUERYDRAGICON)
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace fw
