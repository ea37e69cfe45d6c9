// What the in-process test programs share:
//
//   - this thread's messages handled now, until a condition holds or for a while,
//     always within a bound, and a watchdog for modal loops that never return;
//   - the test program's own folder, and stand-in engines placed beside it;
//   - scratch files and folders that go when the test ends, and file contents;
//   - throwaway registry keys below HKEY_LOCAL_MACHINE\Software;
//   - pixels: a surface to paint into and read back, and blocks of the screen;
//   - the program's live workspace as a fixture.
//
//   #include "support/Testing.h"
//
//   class SavePage : public support::Workspace { ... };   // app, frame, GoTo(1)
//   ASSERT_TRUE(support::PumpUntil([&] { return done; }));
//   support::ScratchFolder scratch;
//   support::WriteBytes(scratch.File(L"clip.mp4"), support::SampleBytes(1000));
#pragma once

#include "app/App.h"
#include "app/MainFrame.h"
#include "framework/Files.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Rectangles and sizes compare and print in test expectations.
inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
inline bool operator==(const SIZE& a, const SIZE& b) {
    return a.cx == b.cx && a.cy == b.cy;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
inline void PrintTo(const SIZE& s, std::ostream* out) {
    *out << s.cx << "x" << s.cy;
}

namespace support {

// Where a page of cx x cy pixels at `dpi` places some of its controls (control
// id, rectangle in the page): the source page's Add, path and Repair (page 0),
// the save page's field, Browse and Save (page 1).
std::vector<std::pair<int, RECT>> ExpectedLayout(int page, int cx, int cy, int dpi);

inline constexpr DWORD kTimeout = 10000; // ms

// Messages

// Handles what is waiting in this thread's queue; true when a WM_QUIT was among it.
bool PumpMessages();
// Handles this thread's messages (and so runs its timers) until `done` holds;
// false when timeoutMs passed first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kTimeout);
// Handles this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);
// Polls `done` every few milliseconds without touching this thread's
// messages, for what another process does; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kTimeout);

// Ends the test program with a message when a step (a modal loop, mostly)
// outlives its bound, instead of leaving the run hanging.
class Watchdog {
public:
    explicit Watchdog(const char* what, DWORD timeoutMs = 60000);
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog();

private:
    static DWORD WINAPI Run(LPVOID self);
    const char* m_what;
    DWORD m_timeout;
    HANDLE m_done;
    HANDLE m_thread;
};

// Files and folders

// The program's own: the test program's folder, with a trailing backslash, is
// where the program under test looks for its engines and makes its temporary files.
using fw::ProgramFolder;
// fw::PathExists under the name the unit suites know.
inline bool Exists(const std::wstring& path) {
    return fw::PathExists(path);
}
using fw::FolderOf;
// The build folder that holds the test programs' folder, with a trailing backslash.
std::wstring BuildFolder();
// `name` in the system's temporary folder.
std::wstring TempPath(const std::wstring& name);
// Names of the files that match a pattern such as L"C:\\folder\\{*}*".
std::vector<std::wstring> FilesMatching(const std::wstring& pattern);

// A file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// Writes a whole file; false (and a test failure) when it cannot.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Varied bytes: a copy that is shifted or cut short does not match them.
std::string SampleBytes(size_t size, unsigned seed = 1);

// A file of the test's own, removed when the object goes. Made with `size`
// varied bytes (its folder too); or, without a size, only reserved: whatever
// an earlier run left there is removed now.
class ScratchFile {
public:
    explicit ScratchFile(std::wstring path);
    ScratchFile(std::wstring path, std::uint64_t size);
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// A new folder of the test's own in the temporary folder, named after
// `prefix`, removed with all it holds when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& prefix = L"dravix-test");
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    // The folder, without a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// The small disk that the test runner mounts when it runs as root (a tmpfs
// of 12 MiB), as a Windows folder; empty when there is none.
std::wstring SmallDiskFolder();

// Stand-in engines beside the test program: the program only looks whether
// they are there.
std::wstring EngineFile(const wchar_t* name);
bool PlaceEngine(const wchar_t* name);
void RemoveEngine(const wchar_t* name);

// An engine beside the test program while the object lives (when it placed it).
class EngineBeside {
public:
    explicit EngineBeside(const wchar_t* name = L"ZMTE.exe");
    EngineBeside(const EngineBeside&) = delete;
    EngineBeside& operator=(const EngineBeside&) = delete;
    ~EngineBeside();
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    bool m_placed = false;
};

// Registry, below HKEY_LOCAL_MACHINE

// A new GUID in registry form, braces included: the program's own
// CreateGuidString, under the name the unit suites know.
std::wstring NewGuidText();
bool KeyExists(const std::wstring& path);
// Removes Software\<name> with everything below it.
void RemoveSoftwareKey(const std::wstring& name);
// A string value, or L"<absent>".
std::wstring RegistryString(const std::wstring& key, const wchar_t* entry);

// Pixels

// A 32-bit surface in memory, filled with `background`, that something
// paints into through Dc() and the test reads back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height, COLORREF background = RGB(0, 0, 0));
    // A copy of a bitmap resource of the program, at its own size.
    explicit Canvas(UINT bitmapResource);
    // A copy of a bitmap, at its own size.
    explicit Canvas(HBITMAP picture);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC Dc() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;
    // The top-left width x height block, row by row.
    std::vector<COLORREF> Block(int width, int height) const;
    // Number of pixels in `area` for which `test` holds.
    int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const;

private:
    void Create(int width, int height, COLORREF background);
    int m_width = 0, m_height = 0;
    fw::MemoryDC m_dc{nullptr};
    fw::Bitmap m_bitmap;
    const DWORD* m_bits = nullptr;
    std::unique_ptr<fw::SelectGuard> m_select;
};

// Pixels of a block of a window as they are on the screen (whole-window
// coordinates, frame included), kept as they were read.
class Pixels {
public:
    Pixels(HWND window, RECT block);
    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    int Width() const { return m_width; }
    int Height() const { return static_cast<int>(m_pixels.size()) / m_width; }
    int Count(COLORREF colour) const;
    bool operator==(const Pixels& other) const = default;

private:
    int m_width;
    std::vector<COLORREF> m_pixels;
};

// A child window's block in the whole-window coordinates of its top-level window.
RECT BlockOf(HWND child);

// Accessibility

// What an accessibility client reads about a window's client area.
struct AccessibleFacts {
    std::wstring name;
    long role = 0; // ROLE_SYSTEM_*
    std::wstring description;
    std::wstring value;
    std::wstring defaultAction;
};
// Asks the window for its object through AccessibleObjectFromWindow, as a
// screen reader does, and reads it or one of its children; a test failure
// when it has none.
AccessibleFacts ReadAccessible(HWND window, long child = CHILDID_SELF);
// The children of the window's object, as AccessibleChildren lists them.
std::vector<AccessibleFacts> ReadAccessibleChildren(HWND window);
// Runs the default action of the object or of one of its children; false when it refused.
bool DoAccessibleDefaultAction(HWND window, long child = CHILDID_SELF);

// Windows

// A key pressed in `window` with a modifier held (0: none), through the
// application's translation and the message loop, as the user types it.
void PressKey(fw::Application& app, HWND window, WORD key, WORD modifier = 0);

// The text a tooltip holds for `tool` (a tool of id 1 on that window).
std::wstring TooltipText(HWND tooltip, HWND tool);
// Gives a window a client area of exactly cx by cy.
void ResizeClient(const fw::WindowRef& window, int cx, int cy);

// The program's whole user interface in the test's own process: the
// application object with its frame and both pages, as start-up leaves them.
class Workspace : public testing::Test {
protected:
    void SetUp() override;

    HWND Frame() const { return frame->Handle(); }
    fw::View* GoTo(int page);
    // WM_COMMAND to the frame, as from the menu (code 0) or a key (code 1).
    void Command(UINT id, WORD code = 0);

    CDravix_Video_RecoveryApp app;
    Workflow& state = app.GetWorkflow();
    CMainFrame* frame = nullptr;
};

} // namespace support
