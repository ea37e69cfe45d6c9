// Helpers for the link, transparent-text, framed-edit and About box tests:
// a visible host window over a known picture, a plain font, and stand-ins
// for the shell and the speaker.
#pragma once

#include "support/Testing.h"

#include "controls/Controls.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace controls_test {

using support::BlockOf;
using support::Pixels;
using support::PumpFor;

// Paints a window and its children now.
inline void Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50);
}

// Tahoma without smoothing, so that text pixels have the text's own colour.
inline HFONT PlainTahoma(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                       DEFAULT_PITCH, L"Tahoma");
}

// The picture a host paints as its background: vertical stripes that make
// any text left behind show.
inline COLORREF StripeAt(int x) {
    return (x / 3) % 2 ? RGB(250, 220, 120) : RGB(120, 190, 250);
}

// A visible top-level window of this program's own class that paints the
// stripes and reflects its children's notifications to them.
class Host : public fw::Window {
public:
    explicit Host(int width = 320, int height = 120) {
        Create({.rect = {60, 60, 60 + width, 60 + height},
                .style = WS_POPUP | WS_VISIBLE,
                .text = L"controls test host"});
        Repaint(m_hWnd);
    }
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != WM_ERASEBKGND)
            return fw::Window::ProcessMessage(message, wParam, lParam, result);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const RECT client = ClientRect();
        for (int x = 0; x < client.right; ++x) {
            fw::Brush brush(CreateSolidBrush(StripeAt(x)));
            const RECT column{x, 0, x + 1, client.bottom};
            FillRect(dc, &column, brush.Get());
        }
        result = TRUE;
        return true;
    }
    // A plain static child, not yet attached to any class of ours.
    HWND AddStatic(int id, const wchar_t* text, RECT rect, DWORD style = SS_LEFT) {
        return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }
};

// Stands in for the shell and the speaker: opens succeed while `succeed`
// holds; every call is recorded.
class FakeShell : public CLinkOpener {
public:
    bool Open(const std::wstring& target) override {
        opened.push_back(target);
        return succeed;
    }
    void Beep() override { ++beeps; }

    bool succeed = true;
    std::vector<std::wstring> opened;
    int beeps = 0;
};

// The text colour, background mode and font a control gets from its
// parent's colour request, read from the DC the request was made with.
struct ColourAnswer {
    HBRUSH brush;
    COLORREF text;
    int mode;
    LOGFONTW font;
};

inline ColourAnswer AskColour(HWND control) {
    fw::MemoryDC dc(nullptr);
    ColourAnswer answer{};
    answer.brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(control), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc.Get()),
                                                         reinterpret_cast<LPARAM>(control)));
    answer.text = GetTextColor(dc.Get());
    answer.mode = GetBkMode(dc.Get());
    GetObjectW(GetCurrentObject(dc.Get(), OBJ_FONT), sizeof answer.font, &answer.font);
    return answer;
}

} // namespace controls_test
