#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {
namespace {

// A window of the program that does not answer within this time counts as hung.
constexpr UINT kSendTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x440;
constexpr int kItemChooserNameId = 1152;
constexpr int kClassicChooserNameId = 1148;
constexpr wchar_t kMainFrameClass[] = L"Dravix.MainFrame";

std::wstring Narrowable(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        out += (c >= 32 && c < 127) ? c : L'?';
    return out;
}

std::string ToUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && IsWindowVisible(window))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsDialog(HWND window) {
    return ClassOf(window) == L"#32770";
}

HWND ChooserNameBox(HWND chooser) {
    if (HWND edit = FindDescendant(chooser, kItemChooserNameId, L"Edit"))
        return edit;
    return FindDescendant(chooser, kClassicChooserNameId, L"Edit");
}

// The host's path of a file, through Wine's own export; empty elsewhere.
std::wstring HostPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* host = convert ? convert(path.c_str()) : nullptr;
    if (!host)
        return {};
    const std::string utf8 = host;
    HeapFree(GetProcessHeap(), 0, host);
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                        static_cast<int>(utf8.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    return wide;
}

// Starts a host program of /usr/bin on `hostPath` and waits until `done`
// holds: Wine runs a host program given by its path, but hands back no
// process to wait for.
bool RunOnHost(const wchar_t* program, const std::wstring& hostPath,
               const std::function<bool()>& done) {
    const std::wstring application = std::wstring(L"Z:\\usr\\bin\\") + program;
    std::wstring commandLine = std::wstring(program) + L" -- \"" + hostPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started)) {
        ADD_FAILURE() << "cannot run " << ToUtf8(application) << " (error " << GetLastError()
                      << ")";
        return false;
    }
    const fw::UniqueHandle process(started.hProcess), thread(started.hThread);
    if (WaitUntil(done, kTimeout))
        return true;
    ADD_FAILURE() << ToUtf8(commandLine) << " did not do its work";
    return false;
}

} // namespace

std::wstring BinFolder() {
    return support::BuildFolder() + L"bin";
}

std::wstring ProgramPath() {
    return BinFolder() + L"\\Dravix Video Repair.exe";
}

bool InstallInto(const std::wstring& folder, const std::vector<std::wstring>& engines) {
    std::vector<std::wstring> names{L"Dravix Video Repair.exe"};
    names.insert(names.end(), engines.begin(), engines.end());
    for (const std::wstring& name : names) {
        const std::wstring from = BinFolder() + L"\\" + name;
        const std::wstring to = folder + L"\\" + name;
        if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy " << ToUtf8(name) << " (error " << GetLastError() << ")";
            return false;
        }
    }
    return true;
}

std::wstring Text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

SIZE SizeOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND FindDescendant(HWND parent, int id, const wchar_t* className) {
    struct Search {
        int id;
        const wchar_t* className;
        HWND found = nullptr;
    } search{id, className};
    // EnumChildWindows visits grandchildren too.
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(window) != s.id)
                return TRUE;
            if (s.className && ClassOf(window) != s.className)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsMessageBox(HWND window) {
    return IsDialog(window) && GetDlgItem(window, kMessageBoxTextId) &&
           GetDlgItem(window, kMessageBoxIconId);
}

std::wstring MessageBoxText(HWND box) {
    return Text(GetDlgItem(box, kMessageBoxTextId));
}

bool MessageBoxHasIcon(HWND box) {
    // The box keeps its icon static even without an icon, hidden.
    HWND icon = GetDlgItem(box, kMessageBoxIconId);
    return icon && IsWindowVisible(icon);
}

std::vector<int> ButtonIds(HWND dialog) {
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || _wcsicmp(ClassOf(child).c_str(), L"Button") != 0)
            continue;
        const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

bool CaptureWindow(HWND window, const std::wstring& path) {
    const RECT rect = fw::WindowRef(window).WindowRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    fw::WindowDC screen(nullptr);
    fw::MemoryDC memory(screen.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a bitmap file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    fw::Bitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !memory)
        return false;
    {
        fw::SelectGuard select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top,
               SRCCOPY | CAPTUREBLT);
        GdiFlush();
    }
    const DWORD stride = (width * 3 + 3) & ~3u, imageSize = stride * height;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), imageSize);
    return support::WriteBytes(path, bytes);
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

bool ChooseFile(HWND chooser, const std::wstring& path) {
    HWND name = ChooserNameBox(chooser);
    if (!name) {
        ADD_FAILURE() << "no file-name box (Edit 1152 or 1148) in the dialog '"
                      << ToUtf8(Text(chooser)) << "'";
        return false;
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored)) {
        ADD_FAILURE() << "the file dialog did not take the name " << ToUtf8(path);
        return false;
    }
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void Type(HWND front, WORD key, WORD modifier) {
    SetForegroundWindow(front);
    const std::pair<WORD, bool> steps[] = {
        {modifier, false}, {key, false}, {key, true}, {modifier, true}};
    std::vector<INPUT> keys;
    for (auto [vk, up] : steps)
        if (vk) {
            INPUT& input = keys.emplace_back();
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}
void TypeText(HWND front, const std::wstring& text) {
    SetForegroundWindow(front);
    std::vector<INPUT> keys;
    for (wchar_t letter : text)
        for (DWORD up : {0, KEYEVENTF_KEYUP}) {
            INPUT& input = keys.emplace_back();
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = letter;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
        }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

std::vector<std::wstring> RepairTemporaryFiles(const std::wstring& folder) {
    return support::FilesMatching(folder + L"\\{*}*");
}

Videos::Videos(const std::wstring& prefix, std::uint64_t size)
    : source(support::TempPath(prefix + L" clip.mp4"), size),
      bytes(support::ReadBytes(source.Path())), chosen(support::TempPath(prefix + L" out")),
      output(chosen + L"_(recovered).mp4") {}

// HeldSource

HeldSource::HeldSource(const std::wstring& name)
    : m_path(support::TempPath(name)), m_hostPath(HostPath(m_path)) {
    // Wine deletes no pipe; one that a run which ended early left goes here.
    if (!DeleteFileW(m_path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        !m_hostPath.empty())
        RunOnHost(L"rm", m_hostPath, [&] { return support::FilesMatching(m_path).empty(); });
    support::WriteBytes(m_path, support::SampleBytes(4096));
}

HeldSource::~HeldSource() {
    End();
    if (m_held)
        RunOnHost(L"rm", m_hostPath, [&] { return support::FilesMatching(m_path).empty(); });
    else
        DeleteFileW(m_path.c_str());
}

bool HeldSource::Hold() {
    if (m_hostPath.empty()) {
        ADD_FAILURE() << "a held source needs Wine: it makes a pipe on the host";
        return false;
    }
    // Looked for by listing: Wine answers GetFileAttributes for no pipe.
    if (!DeleteFileW(m_path.c_str()) ||
        !RunOnHost(L"mkfifo", m_hostPath, [&] { return !support::FilesMatching(m_path).empty(); }))
        return false;
    m_held = true;
    // Opened for reading too, so that the open does not wait for a reader;
    // while it is open, the job's reads wait instead of ending.
    m_writer.Reset(CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr));
    if (!m_writer) {
        ADD_FAILURE() << "cannot open the pipe " << ToUtf8(m_path) << " (error " << GetLastError()
                      << ")";
        return false;
    }
    return true;
}

void HeldSource::End() {
    m_writer.Reset();
}

// App

App::App(std::wstring program) : m_program(std::move(program)) {}

App::~App() {
    Kill();
}

bool App::Launch(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + m_program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    return Launch(StartAs{.commandLine = commandLine});
}

bool App::Launch(const StartAs& how) {
    Kill();
    std::wstring commandLine = how.commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (how.showCommand >= 0) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(how.showCommand);
    }
    // This process's environment with the additions, as a block of
    // NUL-terminated settings that ends in an empty one.
    std::wstring environment;
    if (!how.environment.empty()) {
        // A name's own setting gives way to the one asked for.
        const auto nameOf = [](std::wstring_view setting) {
            return setting.substr(0, setting.find(L'=', 1));
        };
        std::vector<std::wstring_view> names;
        for (const std::wstring& setting : how.environment) {
            environment.append(setting).push_back(L'\0');
            names.push_back(nameOf(setting));
        }
        wchar_t* own = GetEnvironmentStringsW();
        for (const wchar_t* setting = own; *setting; setting += wcslen(setting) + 1)
            if (std::find(names.begin(), names.end(), nameOf(setting)) == names.end())
                environment.append(setting).push_back(L'\0');
        FreeEnvironmentStringsW(own);
        environment.push_back(L'\0');
    }
    PROCESS_INFORMATION info{};
    const std::wstring folder = support::FolderOf(m_program);
    const auto start = [&] {
        return CreateProcessW(m_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_UNICODE_ENVIRONMENT,
                              environment.empty() ? nullptr : environment.data(),
                              folder.empty() ? nullptr : folder.c_str(), &startup, &info);
    };
    // Wine now and then fails a start with ERROR_INTERNAL_ERROR, the new
    // process having ended before it was set up (seen with the player, one
    // start in several hundred). That start is tried once more.
    if (!start() && !(GetLastError() == ERROR_INTERNAL_ERROR && start())) {
        ADD_FAILURE() << "cannot start " << ToUtf8(m_program) << " (error " << GetLastError()
                      << ")";
        return false;
    }
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    return true;
}

bool App::Attach(DWORD timeoutMs) {
    Kill();
    HWND main = nullptr;
    if (!WaitUntil([&] { return (main = FindWindowW(kMainFrameClass, nullptr)) != nullptr; },
                   timeoutMs)) {
        ADD_FAILURE() << "no copy of the program came up";
        return false;
    }
    GetWindowThreadProcessId(main, &m_processId);
    m_process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE,
                                m_processId));
    return m_process && WaitForMainWindow(timeoutMs);
}

bool App::Start(const std::wstring& arguments) {
    return Launch(arguments) && WaitForMainWindow() != nullptr;
}

bool App::IsRunning() const {
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

HWND App::MainWindow() const {
    for (HWND window : TopLevelWindowsOf(m_processId))
        if (ClassOf(window) == kMainFrameClass)
            return window;
    return nullptr;
}

HWND App::WaitForMainWindow(DWORD timeoutMs) {
    return WaitForWindow([](HWND window) { return ClassOf(window) == kMainFrameClass; },
                         L"the main window", timeoutMs);
}

std::vector<HWND> App::Windows() const {
    return TopLevelWindowsOf(m_processId);
}

HWND App::Find(int id) const {
    HWND main = MainWindow();
    return main ? FindDescendant(main, id) : nullptr;
}

bool App::PageHolds(int controlId) const {
    // The current page is the frame's first pane: the page switch hands that id on.
    HWND pane = GetDlgItem(MainWindow(), ID_FIRST_PANE);
    return pane && IsWindowVisible(pane) && FindDescendant(pane, controlId);
}

void App::Command(UINT id) const {
    Post(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void App::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (HWND main = MainWindow())
        PostMessageW(main, message, wParam, lParam);
    else
        ADD_FAILURE() << "no main window to post message " << message << " to; "
                      << ToUtf8(Describe());
}

HWND App::WaitForWindow(const std::function<bool(HWND)>& match, const std::wstring& what,
                        DWORD timeoutMs) {
    HWND found = nullptr;
    const bool ok = WaitUntil(
        [&] {
            for (HWND window : Windows()) {
                if (match(window)) {
                    found = window;
                    return true;
                }
            }
            // Stop early when the process has ended: nothing more can come.
            return !IsRunning();
        },
        timeoutMs);
    if (!found)
        ADD_FAILURE() << "waited " << (ok ? "until the program ended" : "in vain") << " for "
                      << ToUtf8(what) << " (" << timeoutMs << " ms); " << ToUtf8(Describe());
    return found;
}

HWND App::WaitForMessageBox(DWORD timeoutMs) {
    return WaitForWindow(IsMessageBox, L"a message box", timeoutMs);
}

HWND App::WaitForDialog(const std::wstring& caption, DWORD timeoutMs) {
    return WaitForWindow([&](HWND window) { return IsDialog(window) && Text(window) == caption; },
                         L"the dialog '" + caption + L"'", timeoutMs);
}

HWND App::WaitForDialogWith(int controlId, DWORD timeoutMs) {
    return WaitForWindow(
        [&](HWND window) { return IsDialog(window) && GetDlgItem(window, controlId); },
        L"a dialog with control " + std::to_wstring(controlId), timeoutMs);
}

HWND App::WaitForFileDialog(DWORD timeoutMs) {
    return WaitForWindow(
        [](HWND window) { return IsDialog(window) && ChooserNameBox(window) != nullptr; },
        L"a file dialog", timeoutMs);
}

bool App::WaitForClose(HWND window, DWORD timeoutMs) {
    // Gone, not merely hidden: a dialog hides when it ends, but its loop still
    // takes the next message posted to the thread, and drops it.
    if (WaitUntil([&] { return !IsWindow(window); }, timeoutMs))
        return true;
    ADD_FAILURE() << "the window '" << ToUtf8(Text(window)) << "' is still open after " << timeoutMs
                  << " ms";
    return false;
}

bool App::OpenSource(const std::wstring& path) {
    Command(ID_FILE_OPEN);
    HWND chooser = WaitForFileDialog();
    if (!chooser || !ChooseFile(chooser, path) || !WaitForClose(chooser))
        return false;
    if (WaitUntil([&] { return Text(Find(IDC_SOURCE_PATH)) == path; }))
        return true;
    ADD_FAILURE() << "the source page does not show the chosen file " << ToUtf8(path) << "; "
                  << ToUtf8(Describe());
    return false;
}

bool App::ChooseDestination(const std::wstring& chosen) {
    Click(Find(IDC_BROWSE));
    HWND chooser = WaitForFileDialog();
    if (!chooser || !ChooseFile(chooser, chosen) || !WaitForClose(chooser))
        return false;
    if (WaitUntil([&] { return !Text(Find(IDC_DEST_PATH)).empty(); }))
        return true;
    ADD_FAILURE() << "the destination field stays empty; " << ToUtf8(Describe());
    return false;
}

bool App::StartWith(const std::wstring& source) {
    return Start() && OpenSource(source);
}

HWND App::StartRepair() {
    Click(Find(IDC_REPAIR));
    return WaitForDialogWith(IDC_STOP);
}

HWND App::StartRepair(HeldSource& source) {
    return OpenSource(source.Path()) && source.Hold() ? StartRepair() : nullptr;
}

bool App::StopRepair(HWND dialog, HeldSource& source) {
    Click(GetDlgItem(dialog, IDC_STOP));
    if (Answer(IDYES).empty())
        return false;
    source.End();
    return WaitForClose(dialog) &&
           WaitUntil([&] { return IsWindowEnabled(MainWindow()) != FALSE; });
}

bool App::WaitForSavePage(std::uint64_t bytes) {
    if (WaitUntil([&] { return PageHolds(IDC_BROWSE); }, TimeoutFor(bytes)) &&
        WaitUntil([&] { return IsWindowEnabled(MainWindow()) != FALSE; }))
        return true;
    ADD_FAILURE() << "the save page did not come; " << ToUtf8(Describe());
    return false;
}

bool App::Repair(std::uint64_t bytes) {
    Click(Find(IDC_REPAIR));
    return WaitForSavePage(bytes);
}

bool App::ReachTheSavePage(const std::wstring& source, std::uint64_t bytes) {
    return StartWith(source) && Repair(bytes);
}

bool App::HasMessageBox() const {
    const std::vector<HWND> windows = Windows();
    return std::any_of(windows.begin(), windows.end(), IsMessageBox);
}

std::wstring App::Answer(int button, DWORD timeoutMs) {
    HWND box = WaitForMessageBox(timeoutMs);
    if (!box)
        return {};
    const std::wstring text = MessageBoxText(box);
    Press(box, button);
    WaitForClose(box);
    return text;
}

bool App::WaitForExit(DWORD timeoutMs) {
    if (!m_process || WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0)
        return true;
    ADD_FAILURE() << "the program still runs after " << timeoutMs << " ms; " << ToUtf8(Describe());
    return false;
}

DWORD App::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

bool App::Close(DWORD timeoutMs) {
    if (!IsRunning())
        return true;
    Command(ID_APP_EXIT);
    HWND box = WaitForMessageBox(timeoutMs);
    if (!box)
        return false;
    Press(box, IDYES);
    return WaitForExit(timeoutMs);
}

void App::Kill() {
    if (!m_process)
        return;
    if (IsRunning()) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 5000);
    }
    m_process.Reset();
}

std::wstring App::Describe() const {
    std::wostringstream out;
    out << L"process " << m_processId << (IsRunning() ? L" runs" : L" has ended");
    for (HWND window : Windows()) {
        out << L"; window " << ClassOf(window) << L" '" << Narrowable(Text(window)) << L"'";
        if (IsMessageBox(window))
            out << L" saying '" << Narrowable(MessageBoxText(window)) << L"'";
    }
    return out.str();
}

} // namespace e2e
