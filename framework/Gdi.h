// Scoped owners of handles: GDI objects, device contexts, kernel handles and
// whatever else a traits class can close.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace fw {

// Owns one handle and releases it through Traits::Close when it goes; move-only.
// Traits::Valid tells a handle from none.
template <class H, class Traits> class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(H handle) : m_handle(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : m_handle(std::exchange(other.m_handle, H{})) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.m_handle, H{}));
        return *this;
    }
    ~UniqueResource() { Reset(); }

    void Reset(H handle = H{}) {
        if (Valid())
            Traits::Close(m_handle);
        m_handle = handle;
    }
    H Release() { return std::exchange(m_handle, H{}); }
    // Lets go of what it holds and gives the place for a function that hands
    // out a new handle through a pointer (a COM out-parameter).
    H* Put() {
        Reset();
        return &m_handle;
    }
    H Get() const { return m_handle; }
    bool Valid() const { return Traits::Valid(m_handle); }
    explicit operator bool() const { return Valid(); }

private:
    H m_handle{};
};

// A GDI object handle. With Owns the object is deleted with the wrapper;
// without it the wrapper only borrows the handle.
template <class H, bool Owns> struct GdiObjectTraits {
    static bool Valid(H handle) { return handle != nullptr; }
    static void Close(H handle) {
        if constexpr (Owns)
            DeleteObject(handle);
    }
};
template <class H, bool Owns = true> using GdiObject = UniqueResource<H, GdiObjectTraits<H, Owns>>;

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

inline constexpr int kBaseDpi = 96;
// Pixels at `dpi` of a length of `pixels` at 96 DPI (MulDiv rounding).
inline int ScalePixels(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kBaseDpi);
}
// Selects an object into a DC and puts the previous one back on destruction.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (m_dc && m_old)
            SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The DC of a WM_PAINT, between BeginPaint and EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(m_window, &m_paint); }
    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

// A DC from GetDC (client area) or GetWindowDC (whole window), released on destruction.
class WindowDC {
public:
    enum Area { Client, Whole };
    explicit WindowDC(HWND window, Area area = Client)
        : m_window(window), m_dc(area == Client ? GetDC(window) : GetWindowDC(window)) {}
    WindowDC(WindowDC&& other) noexcept
        : m_window(other.m_window), m_dc(std::exchange(other.m_dc, nullptr)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC& operator=(WindowDC&&) = delete;
    ~WindowDC() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory DC compatible with another DC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    MemoryDC(MemoryDC&& other) noexcept : m_dc(std::exchange(other.m_dc, nullptr)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    MemoryDC& operator=(MemoryDC&&) = delete;
    ~MemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// Off-screen drawing surface of a given size; its destructor copies the
// whole surface to the target DC at (0, 0) in one block.
class OffscreenDC {
public:
    OffscreenDC(HDC target, int width, int height);
    OffscreenDC(const OffscreenDC&) = delete;
    OffscreenDC& operator=(const OffscreenDC&) = delete;
    ~OffscreenDC();
    HDC Get() const { return m_memory.Get(); }

private:
    HDC m_target;
    int m_width;
    int m_height;
    MemoryDC m_memory;
    Bitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
};

// A kernel handle closed on destruction; null and INVALID_HANDLE_VALUE mean none.
struct KernelHandleTraits {
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

// An icon loaded at a size of its own, destroyed with the wrapper.
struct IconTraits {
    static bool Valid(HICON icon) { return icon != nullptr; }
    static void Close(HICON icon) { DestroyIcon(icon); }
};
using Icon = UniqueResource<HICON, IconTraits>;

// Memory the system handed out with LocalAlloc (FormatMessage's buffer).
template <class P> struct LocalMemoryTraits {
    static bool Valid(P memory) { return memory != nullptr; }
    static void Close(P memory) { LocalFree(memory); }
};
template <class P> using LocalMemory = UniqueResource<P, LocalMemoryTraits<P>>;

// Memory a COM call handed out (a display name, a string from the shell).
template <class P> struct TaskMemoryTraits {
    static bool Valid(P memory) { return memory != nullptr; }
    static void Close(P memory) { CoTaskMemFree(memory); }
};
template <class P> using TaskMemory = UniqueResource<P, TaskMemoryTraits<P>>;

// A search of FindFirstFile, closed on destruction.
struct FindTraits {
    static bool Valid(HANDLE find) { return find != INVALID_HANDLE_VALUE && find != nullptr; }
    static void Close(HANDLE find) { FindClose(find); }
};
using FindHandle = UniqueResource<HANDLE, FindTraits>;

// A menu loaded from the resources, destroyed with the wrapper.
struct MenuTraits {
    static bool Valid(HMENU menu) { return menu != nullptr; }
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
using Menu = UniqueResource<HMENU, MenuTraits>;

// A reference to a COM object, released on destruction.
template <class I> struct ComTraits {
    static bool Valid(I* object) { return object != nullptr; }
    static void Close(I* object) { object->Release(); }
};
template <class I> using ComRef = UniqueResource<I*, ComTraits<I>>;

} // namespace fw
