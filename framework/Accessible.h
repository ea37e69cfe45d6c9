// Names and roles for accessibility clients (screen readers and the like).
//
// The system's own object for a control knows only its window text, and
// under Wine reports every button, bar and static as a plain client area.
// SetAccessible gives a control what the system cannot know: a short name for
// a picture button, the label that names a field, its role, value and default
// action. Everything else (state, location, focus) stays the system's.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace fw {

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
};

// Serves `info` for the control's client area from WM_GETOBJECT from now on,
// for as long as the control lives; a later call replaces it.
bool SetAccessible(HWND control, AccessibleInfo info);

} // namespace fw
