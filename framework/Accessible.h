// Names and roles for accessibility clients (screen readers and the like).
//
// The system's own object for a control knows only its window text, and
// under Wine reports every button, bar and static as a plain client area.
// SetAccessible gives a control what the system cannot know: a short name for
// a picture button, the label that names a field, its role, value and default
// action. Everything else (state, location, focus) stays the system's.
//
// A default action runs only while the control and every window it sits in
// take input, as a click would: not while a dialog or another program holds
// the frame disabled.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

namespace fw {

// A part of a control that is no window of its own, such as a link drawn in
// a status bar.
struct AccessibleItem {
    long role = ROLE_SYSTEM_STATICTEXT;
    std::wstring name = {};
    std::wstring value = {};
    std::wstring defaultAction = {};
    RECT rect = {}; // in the control's client area
    // What the default action does.
    std::function<void()> action = {};
};

struct AccessibleInfo {
    long role = ROLE_SYSTEM_CLIENT; // ROLE_SYSTEM_*
    // The name; when empty, the text of nameFrom (the control itself when null).
    std::wstring name = {};
    HWND nameFrom = nullptr;
    std::wstring description = {};
    // What the default action is called ("Press", "Jump"); empty: none. A push
    // button's action clicks it, a link's action reports a click on it.
    std::wstring defaultAction = {};
    // The value; a progress bar without one tells its position in percent, an
    // editable text its text.
    std::wstring value = {};
    // The control's parts, its children 1 to n, asked for afresh whenever a
    // client reads them; null: the system's children.
    std::function<std::vector<AccessibleItem>()> items = {};
};

// Serves `info` for the control's client area from WM_GETOBJECT from now on,
// for as long as the control lives; a later call replaces it.
bool SetAccessible(HWND control, AccessibleInfo info);

} // namespace fw
