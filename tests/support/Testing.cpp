#include "support/Testing.h"

#include "framework/Picture.h"
#include "res/resource.h"

#include <commctrl.h>
#include <oleacc.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

namespace support {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// Writes `size` varied bytes a block at a time, for files too large to hold in memory.
void WriteSampleFile(const std::wstring& path, std::uint64_t size) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) {
        ADD_FAILURE() << "cannot write the test file " << testing::PrintToString(path);
        return;
    }
    std::string block = SampleBytes(size_t{1} << 20);
    for (std::uint64_t done = 0; done < size; done += block.size(), ++block[0])
        std::fwrite(block.data(), 1, std::min<std::uint64_t>(size - done, block.size()), file);
    std::fclose(file);
}

} // namespace

// Messages

bool PumpMessages() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return quit;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
    PumpMessages();
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
}

Watchdog::Watchdog(const char* what, DWORD timeoutMs)
    : m_what(what), m_timeout(timeoutMs), m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_thread(CreateThread(nullptr, 0, &Run, this, 0, nullptr)) {}

Watchdog::~Watchdog() {
    SetEvent(m_done);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_done);
}

DWORD WINAPI Watchdog::Run(LPVOID parameter) {
    auto* self = static_cast<Watchdog*>(parameter);
    if (WaitForSingleObject(self->m_done, self->m_timeout) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "\nTIMED OUT after %lu ms: %s\n",
                     static_cast<unsigned long>(self->m_timeout), self->m_what);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

// Files and folders

std::wstring BuildFolder() {
    const std::wstring folder = ProgramFolder();
    return FolderOf(folder.substr(0, folder.size() - 1));
}

std::wstring TempPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp + name;
}

std::vector<std::wstring> FilesMatching(const std::wstring& pattern) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, read);
        std::fclose(file);
    }
    return bytes;
}

std::vector<std::pair<int, RECT>> ExpectedLayout(int page, int cx, int cy, int dpi) {
    const auto s = [dpi](int pixels) { return fw::ScalePixels(pixels, dpi); };
    const auto rect = [](int x, int y, int width, int height) {
        return RECT{x, y, x + width, y + height};
    };
    if (page == 0) {
        const int a = cx / 11, b = cy / 6;
        return {{IDC_ADD, rect(a + s(40), b + s(20), s(150), s(150))},
                {IDC_SOURCE_PATH, rect(a + s(24), b + s(190), a + s(330), b - s(50))},
                {IDC_REPAIR, rect(s(125), s(295), s(130), s(37))}};
    }
    const int left = cx / 2 - cx / 5 - s(100), right = cx - cx / 5 - s(60), top = cy / 2 - s(70);
    return {{IDC_DEST_PATH, rect(left, top, right - left, s(22))},
            {IDC_BROWSE, rect(right, top, s(70), s(22))},
            {IDC_SAVE, rect(cx / 2 + s(126), cy / 2 - s(10), s(133), s(60))}};
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) {
        ADD_FAILURE() << "cannot write the test file " << testing::PrintToString(path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string SampleBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned value = seed;
    for (char& byte : bytes) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<char>(value >> 16);
    }
    return bytes;
}

ScratchFile::ScratchFile(std::wstring path) : m_path(std::move(path)) {
    DeleteFileW(m_path.c_str());
}

ScratchFile::ScratchFile(std::wstring path, std::uint64_t size) : m_path(std::move(path)) {
    CreateDirectoryW(FolderOf(m_path).c_str(), nullptr);
    WriteSampleFile(m_path, size);
}

ScratchFile::~ScratchFile() {
    DeleteFileW(m_path.c_str());
}

ScratchFolder::ScratchFolder(const std::wstring& prefix) {
    static std::atomic<int> s_count{0};
    const std::wstring base = TempPath(prefix) + L" " + std::to_wstring(GetCurrentProcessId());
    // A folder of that name left by a run that ended early is not ours to use.
    do
        m_path = base + L"-" + std::to_wstring(++s_count);
    while (!CreateDirectoryW(m_path.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(fw::PathExists(m_path))
        << "cannot make the folder " << testing::PrintToString(m_path);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

std::wstring SmallDiskFolder() {
    wchar_t mount[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"DRAVIX_SMALL_DISK", mount, MAX_PATH))
        return {};
    std::wstring folder = L"Z:" + std::wstring(mount);
    for (wchar_t& c : folder)
        c = c == L'/' ? L'\\' : c;
    return folder;
}

std::wstring EngineFile(const wchar_t* name) {
    return ProgramFolder() + name;
}

bool PlaceEngine(const wchar_t* name) {
    return WriteBytes(EngineFile(name), "MZ engine stand-in");
}

void RemoveEngine(const wchar_t* name) {
    const std::wstring path = EngineFile(name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

EngineBeside::EngineBeside(const wchar_t* name) : m_path(EngineFile(name)) {
    m_placed = !fw::PathExists(m_path) && PlaceEngine(name);
}

EngineBeside::~EngineBeside() {
    if (m_placed)
        DeleteFileW(m_path.c_str());
}

// Registry

std::wstring NewGuidText() {
    return fw::CreateGuidString();
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void RemoveSoftwareKey(const std::wstring& name) {
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS, &software),
              ERROR_SUCCESS);
    RegDeleteTreeW(software, name.c_str());
    RegCloseKey(software);
}

std::wstring RegistryString(const std::wstring& key, const wchar_t* entry) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), entry, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return L"<absent>";
    return value;
}

// Pixels

Canvas::Canvas(int width, int height, COLORREF background) {
    Create(width, height, background);
}

Canvas::Canvas(UINT bitmapResource) : Canvas(fw::LoadBitmapResource(bitmapResource).Get()) {}

Canvas::Canvas(HBITMAP picture) {
    const SIZE size = fw::BitmapSize(picture);
    Create(size.cx, size.cy, RGB(0, 0, 0));
    fw::MemoryDC source(Dc());
    fw::SelectGuard select(source.Get(), picture);
    BitBlt(Dc(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
}

Canvas::~Canvas() = default;

void Canvas::Create(int width, int height, COLORREF background) {
    m_width = width;
    m_height = height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<const DWORD*>(bits);
    m_select = std::make_unique<fw::SelectGuard>(m_dc.Get(), m_bitmap.Get());
    fw::Brush brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(m_dc.Get(), &all, brush.Get());
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    const DWORD pixel = m_bits[static_cast<size_t>(y) * m_width + x]; // 0x00RRGGBB
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::vector<COLORREF> Canvas::Block(int width, int height) const {
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(At(x, y));
    return pixels;
}

int Canvas::Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += test(At(x, y)) ? 1 : 0;
    return count;
}

Pixels::Pixels(HWND window, RECT block) : m_width(block.right - block.left) {
    const int height = block.bottom - block.top;
    Canvas canvas(m_width, height);
    {
        fw::WindowDC screen(window, fw::WindowDC::Whole);
        BitBlt(canvas.Dc(), 0, 0, m_width, height, screen.Get(), block.left, block.top, SRCCOPY);
    }
    m_pixels = canvas.Block(m_width, height);
}

int Pixels::Count(COLORREF colour) const {
    return static_cast<int>(std::count(m_pixels.begin(), m_pixels.end(), colour));
}

RECT BlockOf(HWND child) {
    HWND top = GetAncestor(child, GA_ROOT);
    RECT rect{}, outer{};
    GetWindowRect(child, &rect);
    GetWindowRect(top, &outer);
    OffsetRect(&rect, -outer.left, -outer.top);
    return rect;
}

// Windows

void PressKey(fw::Application& app, HWND window, WORD key, WORD modifier) {
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    GetKeyboardState(keys);
    if (modifier) // held, and its left-hand key with it
        keys[modifier] = keys[modifier == VK_CONTROL ? VK_LCONTROL : VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    MSG message{window, WM_KEYDOWN, key, 1, 0, {}};
    if (!app.PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The characters that the key made, while the modifier is still held.
    PumpMessages();
    SetKeyboardState(saved);
}

std::wstring TooltipText(HWND tooltip, HWND tool) {
    wchar_t text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = tool;
    info.uId = 1;
    info.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    return text;
}

void ResizeClient(const fw::WindowRef& window, int cx, int cy) {
    const RECT outer = window.WindowRect(), client = window.ClientRect();
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    window.MoveTo(0, 0, cx + frameX, cy + frameY);
    ASSERT_EQ(window.ClientRect().right, cx);
    ASSERT_EQ(window.ClientRect().bottom, cy);
}

// Workspace

// Accessibility

namespace {
fw::ComRef<IAccessible> AccessibleOf(HWND window) {
    IAccessible* object = nullptr;
    const HRESULT result =
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    if (FAILED(result) || !object)
        ADD_FAILURE() << "no accessible object for window " << window << " (0x" << std::hex
                      << result << ")";
    return fw::ComRef<IAccessible>(object);
}
} // namespace

AccessibleFacts ReadAccessible(HWND window, long child) {
    AccessibleFacts facts;
    const fw::ComRef<IAccessible> object = AccessibleOf(window);
    if (!object)
        return facts;
    IAccessible& read = *object.Get();
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = child;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR value = nullptr;
        std::wstring taken;
        if (SUCCEEDED((read.*get)(self, &value)) && value)
            taken.assign(value, SysStringLen(value));
        SysFreeString(value);
        return taken;
    };
    facts.name = text(&IAccessible::get_accName);
    facts.description = text(&IAccessible::get_accDescription);
    facts.value = text(&IAccessible::get_accValue);
    facts.defaultAction = text(&IAccessible::get_accDefaultAction);
    VARIANT role{};
    if (SUCCEEDED(read.get_accRole(self, &role)) && role.vt == VT_I4)
        facts.role = role.lVal;
    return facts;
}

std::vector<AccessibleFacts> ReadAccessibleChildren(HWND window) {
    std::vector<AccessibleFacts> children;
    const fw::ComRef<IAccessible> object = AccessibleOf(window);
    long count = 0;
    if (!object || FAILED(object.Get()->get_accChildCount(&count)) || count <= 0)
        return children;
    std::vector<VARIANT> listed(static_cast<size_t>(count));
    long obtained = 0;
    if (FAILED(AccessibleChildren(object.Get(), 0, count, listed.data(), &obtained)))
        return children;
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = listed[static_cast<size_t>(i)];
        // Children with objects of their own are windows, read through their own handles.
        if (child.vt == VT_I4)
            children.push_back(ReadAccessible(window, child.lVal));
        VariantClear(&child);
    }
    return children;
}

bool DoAccessibleDefaultAction(HWND window, long child) {
    const fw::ComRef<IAccessible> object = AccessibleOf(window);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = child;
    return object && object.Get()->accDoDefaultAction(self) == S_OK;
}

void Workspace::SetUp() {
    ASSERT_TRUE(app.CreateWorkspace(SW_SHOW));
    frame = app.GetMainFrame();
    PumpMessages();
}

fw::View* Workspace::GoTo(int page) {
    return app.ShowPage(page);
}

void Workspace::Command(UINT id, WORD code) {
    SendMessageW(Frame(), WM_COMMAND, MAKEWPARAM(id, code), 0);
}

} // namespace support
