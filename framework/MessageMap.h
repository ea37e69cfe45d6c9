// Static message tables. A class lists its handlers once, in a table of
// entries {message, control id, notification, thunk}; the thunk unpacks the
// message's arguments and calls a typed handler. Each entry maker below shows
// the handler signature it expects.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>

namespace fw {

// Messages a parent reflects back to the child control that sent them
// (WM_CTLCOLOR*, WM_COMMAND, WM_DRAWITEM, WM_NOTIFY), as kReflectBase + message.
inline constexpr UINT kReflectBase = 0xBC00;
// Tells a window of this program that it is now shown at the DPI in wParam.
// The frame sends it to itself and every window inside it when its DPI changes.
inline constexpr UINT kDpiChanged = 0xBF02;

// Anything with a message table: windows and the application object.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    // Runs the target's message table; false when it has no entry.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // Whether the table has a handler for menu command `id`.
    virtual bool HasCommand(UINT) const { return false; }
};

template <class T> struct MessageEntry {
    UINT first; // message, or the first of a range
    UINT last;  // last message of the range
    UINT id;    // WM_COMMAND: command or control id
    UINT code;  // WM_COMMAND: notification code; kAnyCommandCode for menu, accelerator or click
    bool (*thunk)(T& self, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

inline constexpr UINT kAnyCommandCode = 0xFFFFFFFF;

namespace detail {
template <class> struct MemberOf;
template <class C, class Signature> struct MemberOf<Signature C::*> { using type = C; };
} // namespace detail
template <auto F> using ClassOf = typename detail::MemberOf<decltype(F)>::type;

inline POINT PointFrom(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// A class's message table. Declared in the class as
//   static const fw::MessageTable<CPage> kMessages;
// and defined in its source file, where the handlers' addresses are known.
template <class T> using MessageTable = std::initializer_list<MessageEntry<T>>;

// Finds the entry for a message and runs its handler. False when the table has none.
template <class T, class Table>
bool DispatchTable(T& self, const Table& table, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT& result) {
    for (const auto& entry : table) {
        if (message < entry.first || message > entry.last)
            continue;
        if (message == WM_COMMAND) {
            const UINT code = HIWORD(wParam);
            if (entry.id != LOWORD(wParam))
                continue;
            if (entry.code == kAnyCommandCode ? code > 1 : entry.code != code)
                continue;
        }
        if (entry.thunk(self, wParam, lParam, result))
            return true;
    }
    return false;
}

// Chains a class's message table to its base class's handling:
//   class CPage : public fw::Mapped<CPage, fw::View> { friend Mapped; ... kMessages[] ... };
// The class's own table is asked first; what it does not handle goes to Base.
template <class T, class Base> class Mapped : public Base {
public:
    using Base::Base;
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return DispatchTable(static_cast<T&>(*this), T::kMessages, message, wParam, lParam,
                             result) ||
               Base::ProcessMessage(message, wParam, lParam, result);
    }
    bool HasCommand(UINT id) const override {
        for (const auto& entry : T::kMessages)
            if (entry.first == WM_COMMAND && entry.id == id)
                return true;
        return Base::HasCommand(id);
    }
};

namespace msg {

template <class T>
constexpr MessageEntry<T> Entry(UINT message, decltype(MessageEntry<T>::thunk) thunk) {
    return {message, message, 0, 0, thunk};
}

// int OnCreate(const CREATESTRUCTW& cs)   -- -1 fails the creation
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Create() {
    return Entry<T>(WM_CREATE, [](T& self, WPARAM, LPARAM l, LRESULT& r) {
        r = (self.*F)(*reinterpret_cast<const CREATESTRUCTW*>(l));
        return true;
    });
}
// void OnDestroy()
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Destroy() {
    return Entry<T>(WM_DESTROY, [](T& self, WPARAM, LPARAM, LRESULT& r) {
        (self.*F)();
        r = 0;
        return true;
    });
}
// void OnClose()
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Close() {
    return Entry<T>(WM_CLOSE, [](T& self, WPARAM, LPARAM, LRESULT& r) {
        (self.*F)();
        r = 0;
        return true;
    });
}
// void OnSize(UINT type, int cx, int cy)
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Size() {
    return Entry<T>(WM_SIZE, [](T& self, WPARAM w, LPARAM l, LRESULT& r) {
        (self.*F)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)),
                  static_cast<short>(HIWORD(l)));
        r = 0;
        return true;
    });
}
// void OnTimer(UINT_PTR id)
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Timer() {
    return Entry<T>(WM_TIMER, [](T& self, WPARAM w, LPARAM, LRESULT& r) {
        (self.*F)(static_cast<UINT_PTR>(w));
        r = 0;
        return true;
    });
}
// void OnPaint()
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Paint() {
    return Entry<T>(WM_PAINT, [](T& self, WPARAM, LPARAM, LRESULT& r) {
        (self.*F)();
        r = 0;
        return true;
    });
}
// bool OnEraseBkgnd(HDC dc)   -- true: the background counts as erased
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> EraseBkgnd() {
    return Entry<T>(WM_ERASEBKGND, [](T& self, WPARAM w, LPARAM, LRESULT& r) {
        r = (self.*F)(reinterpret_cast<HDC>(w)) ? TRUE : FALSE;
        return true;
    });
}
// HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind)   -- kind is CTLCOLOR_*
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> CtlColor() {
    return {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0,
            [](T& self, WPARAM w, LPARAM l, LRESULT& r) {
                // The current message is kept by the window; the kind is its offset.
                const UINT kind = self.CurrentMessage() - WM_CTLCOLORMSGBOX;
                r = reinterpret_cast<LRESULT>(
                    (self.*F)(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), kind));
                return true;
            }};
}
// void OnContextMenu(HWND window, POINT screen)
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> ContextMenu() {
    return Entry<T>(WM_CONTEXTMENU, [](T& self, WPARAM w, LPARAM l, LRESULT& r) {
        (self.*F)(reinterpret_cast<HWND>(w), PointFrom(l));
        r = 0;
        return true;
    });
}
// void OnMouse(UINT keys, POINT client) for WM_LBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE,
// WM_MOUSEHOVER
template <UINT Message, auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Mouse() {
    return Entry<T>(Message, [](T& self, WPARAM w, LPARAM l, LRESULT& r) {
        (self.*F)(static_cast<UINT>(w), PointFrom(l));
        r = 0;
        return true;
    });
}
// void OnMouseLeave()
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> MouseLeave() {
    return Entry<T>(WM_MOUSELEAVE, [](T& self, WPARAM, LPARAM, LRESULT& r) {
        (self.*F)();
        r = 0;
        return true;
    });
}
// void OnCommand()   -- a menu item, an accelerator or a button click with this id
template <UINT Id, auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Command() {
    return {WM_COMMAND, WM_COMMAND, Id, kAnyCommandCode, [](T& self, WPARAM, LPARAM, LRESULT& r) {
                (self.*F)();
                r = 0;
                return true;
            }};
}
// void OnNotify()   -- WM_COMMAND with this control id and notification code
template <UINT Id, UINT Code, auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Notify() {
    return {WM_COMMAND, WM_COMMAND, Id, Code, [](T& self, WPARAM, LPARAM, LRESULT& r) {
                (self.*F)();
                r = 0;
                return true;
            }};
}
// void OnDpiChanged(int dpi)   -- the window is now shown at `dpi`
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> DpiChanged() {
    return Entry<T>(kDpiChanged, [](T& self, WPARAM w, LPARAM, LRESULT& r) {
        (self.*F)(static_cast<int>(w));
        r = 0;
        return true;
    });
}
// LRESULT OnMessage(WPARAM wParam, LPARAM lParam)   -- any other message
template <UINT Message, auto F, class T = ClassOf<F>> constexpr MessageEntry<T> Raw() {
    return Entry<T>(Message, [](T& self, WPARAM w, LPARAM l, LRESULT& r) {
        r = (self.*F)(w, l);
        return true;
    });
}

// Handlers of messages reflected from the parent to the control itself.

// void DrawItem(const DRAWITEMSTRUCT& item)
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> ReflectedDrawItem() {
    return Entry<T>(kReflectBase + WM_DRAWITEM, [](T& self, WPARAM, LPARAM l, LRESULT& r) {
        (self.*F)(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        r = TRUE;
        return true;
    });
}
// HBRUSH CtlColor(HDC dc, UINT kind)   -- a null brush leaves the request to the parent
template <auto F, class T = ClassOf<F>> constexpr MessageEntry<T> ReflectedCtlColor() {
    return {kReflectBase + WM_CTLCOLORMSGBOX, kReflectBase + WM_CTLCOLORSTATIC, 0, 0,
            [](T& self, WPARAM w, LPARAM, LRESULT& r) {
                const UINT kind = self.CurrentMessage() - (kReflectBase + WM_CTLCOLORMSGBOX);
                r = reinterpret_cast<LRESULT>((self.*F)(reinterpret_cast<HDC>(w), kind));
                return r != 0;
            }};
}
// void OnNotification()   -- the control's own WM_COMMAND notification Code
template <UINT Code, auto F, class T = ClassOf<F>> constexpr MessageEntry<T> ReflectedCommand() {
    return {kReflectBase + WM_COMMAND, kReflectBase + WM_COMMAND, 0, Code,
            [](T& self, WPARAM w, LPARAM, LRESULT& r) {
                if (HIWORD(w) != Code)
                    return false;
                (self.*F)();
                r = TRUE;
                return true;
            }};
}

} // namespace msg
} // namespace fw
