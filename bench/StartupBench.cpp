// How long the program takes from CreateProcess until its first page is on
// screen, painted and answering, against a bare window built with the same
// compiler, flags and manifest; where that time goes; and what memory each
// holds once idle. It runs at the display scale of the Wine prefix it is
// started in, and says which. Builds of the program named on its command
// line are timed instead, each in its turn, to compare them.
//
// They are started in turn, one warm-up start of each first. A start is
// over when the main window is visible, its thread answers WM_NULL and no
// part of the window or of its children waits to be painted. Each copy is
// left alone until 2 s after its start, its memory is read, and it is closed
// as a user would: the program through its close question (Yes), the bare
// window with WM_CLOSE. A copy that has not gone 5 s later is ended
// (TerminateProcess), so the benchmark leaves nothing running.
//
// The steps come from starts of their own, in which the program announces
// each step as debug output (MarkStartupStep), the bare window those it has
// too, and this benchmark listens as the system's debug monitors do. Which libraries come before
// the first paint comes from one more start of each, followed as a debugger, which slows it too
// much to time it.
#include "bench/Clock.h"
#include "framework/Application.h"
#include "framework/Files.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {
constexpr int kRuns = 5;
constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kIdleMs = 2000;
constexpr DWORD kCloseMs = 5000;
// How long a traced start is followed after it is ready, for the work the
// program leaves until after its first paint.
constexpr double kAfterReadySeconds = 0.5;
constexpr double kMiB = 1024.0 * 1024.0;

using fw::ProgramFolder;

struct Subject {
    const wchar_t* name;
    std::wstring path;
    const wchar_t* windowClass;
    bool asksBeforeClosing;
};

// A visible top-level window of the process with this class (or any class).
HWND VisibleWindowOf(DWORD processId, const wchar_t* windowClass) {
    struct Search {
        DWORD processId;
        const wchar_t* windowClass;
        HWND found;
    } search{processId, windowClass, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.processId || !IsWindowVisible(window))
                return TRUE;
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (s.windowClass && lstrcmpW(name, s.windowClass) != 0)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitsForPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE))
        return true;
    bool waiting = false;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
                *reinterpret_cast<bool*>(data) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&waiting));
    return waiting;
}

// Shown, answering and painted.
bool IsReady(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result) &&
           !WaitsForPaint(window);
}

// Waits until the process has its window ready; the time it took, or a
// negative number when it ended or took too long.
double WaitUntilReady(const Subject& subject, HANDLE process, DWORD processId, double start) {
    for (;;) {
        HWND window = VisibleWindowOf(processId, subject.windowClass);
        if (window && IsReady(window))
            return Now() - start;
        if (WaitForSingleObject(process, 1) != WAIT_TIMEOUT ||
            (Now() - start) * 1000.0 > kTimeoutMs) {
            std::fprintf(stderr, "%ls: no painted window came\n", subject.name);
            return -1;
        }
    }
}

void CloseOrEnd(const Subject& subject, HANDLE process, DWORD processId) {
    if (HWND window = VisibleWindowOf(processId, subject.windowClass))
        PostMessageW(window, WM_CLOSE, 0, 0);
    const double start = Now();
    while (WaitForSingleObject(process, 5) == WAIT_TIMEOUT) {
        if ((Now() - start) * 1000.0 > kCloseMs) {
            std::fprintf(stderr, "%ls did not close; ending it\n", subject.name);
            TerminateProcess(process, 1);
            WaitForSingleObject(process, kCloseMs);
            return;
        }
        if (!subject.asksBeforeClosing)
            continue;
        if (HWND box = VisibleWindowOf(processId, L"#32770"))
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    }
}

bool Launch(const Subject& subject, DWORD flags, PROCESS_INFORMATION& info) {
    const std::wstring folder = subject.path.substr(0, subject.path.rfind(L'\\'));
    std::wstring commandLine = L"\"" + subject.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CreateProcessW(subject.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                       nullptr, folder.c_str(), &startup, &info))
        return true;
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", subject.path.c_str(), GetLastError());
    return false;
}

// Committed private memory, which Windows reports as private bytes, and how
// much of it the threads' stacks take. Wine leaves PrivateUsage at 0 for
// another process, so the regions are summed, and a stack is the allocation
// that holds a thread's stack pointer.
struct Memory {
    SIZE_T privateBytes = 0;
    SIZE_T stackBytes = 0;
    int threads = 0;
};

Memory PrivateMemory(HANDLE process, DWORD processId) {
    Memory memory;
    std::map<const void*, SIZE_T> byAllocation;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr;
         VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            memory.privateBytes += region.RegionSize;
            byAllocation[region.AllocationBase] += region.RegionSize;
        }
    }
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        ++memory.threads;
        HANDLE thread =
            OpenThread(THREAD_GET_CONTEXT | THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        SuspendThread(thread);
        if (GetThreadContext(thread, &context) &&
            VirtualQueryEx(process, reinterpret_cast<const void*>(context.Rsp), &region,
                           sizeof region) == sizeof region)
            memory.stackBytes += byAllocation[region.AllocationBase];
        ResumeThread(thread);
        CloseHandle(thread);
    }
    CloseHandle(threads);
    return memory;
}

struct Start {
    bool ok = false;
    double seconds = 0;
    Memory memory;
    double workingSetMiB = 0;
    std::vector<std::pair<std::string, double>> steps; // announced, seconds from CreateProcess
};

// Listens to debug output as the system's debug monitors do: a writer waits
// for DBWIN_BUFFER_READY, puts its process id and text into DBWIN_BUFFER and
// sets DBWIN_DATA_READY. Keeps the start-up steps of one process.
class StepListener {
public:
    StepListener()
        : m_bufferReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY")),
          m_dataReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")),
          m_mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                       L"DBWIN_BUFFER")),
          m_buffer(m_mapping ? MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0) : nullptr) {
        if (m_bufferReady && m_dataReady && m_buffer)
            m_thread = CreateThread(nullptr, 0, &StepListener::Listen, this, 0, nullptr);
    }
    StepListener(const StepListener&) = delete;
    StepListener& operator=(const StepListener&) = delete;
    ~StepListener() {
        m_stop = true;
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
            CloseHandle(m_thread);
        }
        if (m_buffer)
            UnmapViewOfFile(m_buffer);
        for (HANDLE handle : {m_mapping, m_dataReady, m_bufferReady})
            if (handle)
                CloseHandle(handle);
    }
    bool Ready() const { return m_thread != nullptr; }

    // From now on, keeps the steps of this process, timed from `start`.
    void Follow(DWORD processId, double start) {
        const std::lock_guard lock(m_mutex);
        m_processId = processId;
        m_start = start;
        m_steps.clear();
    }
    std::vector<std::pair<std::string, double>> Steps() {
        const std::lock_guard lock(m_mutex);
        return m_steps;
    }

private:
    static DWORD WINAPI Listen(void* parameter) {
        auto& self = *static_cast<StepListener*>(parameter);
        const size_t prefix = std::strlen(fw::kStartupStepPrefix);
        SetEvent(self.m_bufferReady);
        while (!self.m_stop) {
            if (WaitForSingleObject(self.m_dataReady, 50) != WAIT_OBJECT_0)
                continue;
            const double at = Now();
            const auto* data = static_cast<const char*>(self.m_buffer);
            DWORD processId = 0;
            std::memcpy(&processId, data, sizeof processId);
            const std::string text(data + sizeof processId,
                                   strnlen(data + sizeof processId, 4096 - sizeof processId));
            SetEvent(self.m_bufferReady);
            const std::lock_guard lock(self.m_mutex);
            if (processId == self.m_processId &&
                text.compare(0, prefix, fw::kStartupStepPrefix) == 0)
                self.m_steps.emplace_back(text.substr(prefix), at - self.m_start);
        }
        return 0;
    }

    HANDLE m_bufferReady;
    HANDLE m_dataReady;
    HANDLE m_mapping;
    void* m_buffer;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    DWORD m_processId = 0;
    double m_start = 0;
    std::vector<std::pair<std::string, double>> m_steps;
};

// One start. With a listener the program announces its steps, and the start
// is followed a little past its first paint for the steps that come after;
// without one it is left alone until idle and its memory is read.
Start StartOnce(const Subject& subject, StepListener* listener = nullptr) {
    Start outcome;
    PROCESS_INFORMATION info{};
    SetEnvironmentVariableW(fw::kStartupStepsVariable, listener ? L"1" : nullptr);
    const double start = Now();
    if (!Launch(subject, CREATE_SUSPENDED, info))
        return outcome;
    if (listener)
        listener->Follow(info.dwProcessId, start);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    outcome.seconds = WaitUntilReady(subject, info.hProcess, info.dwProcessId, start);
    outcome.ok = outcome.seconds >= 0;
    const double idle = (listener ? kAfterReadySeconds : kIdleMs / 1000.0) - (Now() - start);
    if (outcome.ok && idle > 0)
        Sleep(static_cast<DWORD>(idle * 1000.0));
    if (listener) {
        outcome.steps = listener->Steps();
    } else {
        outcome.memory = PrivateMemory(info.hProcess, info.dwProcessId);
        PROCESS_MEMORY_COUNTERS counters{};
        if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters))
            outcome.workingSetMiB = static_cast<double>(counters.WorkingSetSize) / kMiB;
    }
    CloseOrEnd(subject, info.hProcess, info.dwProcessId);
    CloseHandle(info.hProcess);
    SetEnvironmentVariableW(fw::kStartupStepsVariable, nullptr);
    return outcome;
}

// The libraries one start loaded before its first paint (the program
// announces it; the bare window paints as it becomes ready) and after it,
// taken as a debugger, which is told of each library as it comes.
struct Libraries {
    bool ok = false;
    std::set<std::wstring> before, after;
};

std::wstring LibraryName(const LOAD_DLL_DEBUG_INFO& dll) {
    wchar_t path[MAX_PATH * 2] = {};
    if (!dll.hFile || !GetFinalPathNameByHandleW(dll.hFile, path, MAX_PATH * 2, 0))
        return L"?";
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    CharLowerW(name.data());
    return name;
}

bool IsPaintedStep(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& output) {
    std::string text(output.nDebugStringLength, '\0');
    SIZE_T read = 0;
    if (output.fUnicode ||
        !ReadProcessMemory(process, output.lpDebugStringData, text.data(), text.size(), &read))
        return false;
    text.resize(std::strlen(text.c_str()));
    return text == std::string(fw::kStartupStepPrefix) + "painted";
}

Libraries LibrariesOf(const Subject& subject) {
    Libraries libraries;
    PROCESS_INFORMATION info{};
    SetEnvironmentVariableW(fw::kStartupStepsVariable, L"1");
    const bool launched = Launch(subject, DEBUG_ONLY_THIS_PROCESS, info);
    SetEnvironmentVariableW(fw::kStartupStepsVariable, nullptr);
    if (!launched)
        return libraries;
    DebugSetProcessKillOnExit(FALSE);

    // Debug events come to this thread only, so another waits for the window.
    struct Watch {
        const Subject* subject;
        PROCESS_INFORMATION* info;
        std::atomic<bool> ready{false};
        std::atomic<bool> done{false};
    } watch{&subject, &info};
    HANDLE watcher = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto& w = *static_cast<Watch*>(parameter);
            w.ready = WaitUntilReady(*w.subject, w.info->hProcess, w.info->dwProcessId, Now()) >= 0;
            w.done = true;
            return 0;
        },
        &watch, 0, nullptr);
    bool painted = false;
    double doneAt = 0;
    for (;;) {
        if (watch.done && doneAt == 0)
            doneAt = Now();
        if (doneAt != 0 && Now() - doneAt > kAfterReadySeconds)
            break;
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 5))
            continue;
        DWORD answer = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            (painted || watch.ready ? libraries.after : libraries.before)
                .insert(LibraryName(event.u.LoadDll));
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoint is the debugger's; the program's own
            // exceptions stay its own.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                answer = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            painted = painted || IsPaintedStep(info.hProcess, event.u.DebugString);
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            break;
    }
    DebugActiveProcessStop(info.dwProcessId);
    WaitForSingleObject(watcher, kTimeoutMs);
    CloseHandle(watcher);
    libraries.ok = watch.ready;
    CloseOrEnd(subject, info.hProcess, info.dwProcessId);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return libraries;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    std::vector<double> ms, privateMiB, stackMiB, workingSetMiB;
    int threads = 0;
    void Add(const Start& start) {
        ms.push_back(start.seconds * 1000.0);
        privateMiB.push_back(static_cast<double>(start.memory.privateBytes) / kMiB);
        stackMiB.push_back(static_cast<double>(start.memory.stackBytes) / kMiB);
        workingSetMiB.push_back(start.workingSetMiB);
        threads = std::max(threads, start.memory.threads);
    }
};

// The steps the program announces, in their order, and what each covers.
constexpr std::pair<const char*, const char*> kSteps[] = {
    {"entry", "process, libraries, static objects: entry reached"},
    {"settings", "instance check, leftover clean-up, settings read"},
    {"frame", "frame window with its menu and status bar"},
    {"page", "source page with its text line and buttons"},
    {"shown", "laid out and shown"},
    {"painted", "first paint"},
    {"loop", "save page, centring, focus, COM, common controls"},
    {"ready", "answering, nothing left to paint"},
};
// Steps beside those, which may come before or after the program is ready.
constexpr std::pair<const char*, const char*> kSideSteps[] = {
    {"pictures", "the page's pictures decoded on a worker thread"},
    {"tips", "the buttons' tooltips, after the first paint"},
};

// The median time of a step over the starts that announced it, in ms from
// CreateProcess; "ready" is each start's own end. Negative when none did.
double MedianStep(const std::vector<Start>& starts, const std::string& step) {
    std::vector<double> times;
    for (const Start& start : starts) {
        if (step == "ready")
            times.push_back(start.seconds * 1000.0);
        for (const auto& [name, at] : start.steps)
            if (name == step)
                times.push_back(at * 1000.0);
    }
    return times.empty() ? -1 : Median(times);
}

void PrintNames(const char* label, const std::set<std::wstring>& names) {
    std::printf("  %s (%zu):", label, names.size());
    for (const std::wstring& name : names)
        std::printf(" %ls", name.c_str());
    std::printf("\n");
}

int DisplayDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
} // namespace

// Times the build's program, or the builds of it named on the command line,
// each in turn with the bare window.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> paths(argv + 1, argv + argc);
    if (paths.empty())
        paths.push_back(ProgramFolder() + L"..\\bin\\Dravix Video Repair.exe");
    std::vector<Subject> programs;
    for (const std::wstring& path : paths)
        programs.push_back({path.c_str(), path, L"Dravix.MainFrame", true});
    const Subject bare{L"the bare window", ProgramFolder() + L"bare\\BareWindow.exe",
                       L"Dravix.BareWindow", false};
    StepListener listener;
    if (!listener.Ready()) {
        std::fprintf(stderr, "cannot listen to debug output\n");
        return 1;
    }

    bool ok = StartOnce(bare).ok;
    for (const Subject& program : programs)
        ok = ok && StartOnce(program).ok;
    if (!ok)
        return 1;
    struct Timed {
        Figures figures;
        std::vector<Start> steps;
        Libraries libraries;
    };
    std::vector<Timed> ours(programs.size());
    Timed baseline;
    for (int run = 0; run < kRuns; ++run) {
        for (size_t i = 0; i < programs.size(); ++i) {
            const Start start = StartOnce(programs[i]);
            ok = ok && start.ok;
            ours[i].figures.Add(start);
        }
        const Start start = StartOnce(bare);
        ok = ok && start.ok;
        baseline.figures.Add(start);
    }
    for (int run = 0; run < kRuns; ++run) {
        for (size_t i = 0; i < programs.size(); ++i) {
            ours[i].steps.push_back(StartOnce(programs[i], &listener));
            ok = ok && ours[i].steps.back().ok;
        }
        baseline.steps.push_back(StartOnce(bare, &listener));
        ok = ok && baseline.steps.back().ok;
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        ours[i].libraries = LibrariesOf(programs[i]);
        ok = ok && ours[i].libraries.ok;
    }
    baseline.libraries = LibrariesOf(bare);
    if (!ok || !baseline.libraries.ok)
        return 1;

    const int dpi = DisplayDpi();
    const Figures& bareFigures = baseline.figures;
    const double bareMs = Median(bareFigures.ms);
    std::printf("Start-up at %d DPI, median of %d starts of each, alternating, after one warm-up "
                "start\n",
                dpi, kRuns);
    std::printf("  bare window (same compiler, flags and manifest): %8.1f ms, private memory 2 s "
                "after start %5.1f MiB\n",
                bareMs, Median(bareFigures.privateMiB));
    for (size_t i = 0; i < programs.size(); ++i) {
        const Figures& figures = ours[i].figures;
        const double oursMs = Median(figures.ms);
        if (programs.size() > 1)
            std::printf(" %ls\n", programs[i].name);
        std::printf("  program, until its first page is shown, painted and answers: %8.1f ms\n",
                    oursMs);
        std::printf("  ratio to the bare window (aim <= %.2f):                      %8.2f\n",
                    dpi > 96 ? 1.35 : 1.25, oursMs / bareMs);
        std::printf("  each start, program / bare (ms):");
        for (size_t run = 0; run < figures.ms.size(); ++run)
            std::printf(" %.0f/%.0f", figures.ms[run], bareFigures.ms[run]);
        std::printf("\n");
        std::printf("  private memory 2 s after start%s: %5.1f MiB, of it thread stacks %4.1f MiB "
                    "(%d threads)\n",
                    dpi == 96 ? " (aim < 8 MiB)" : "", Median(figures.privateMiB),
                    Median(figures.stackMiB), figures.threads);
        std::printf("  working set 2 s after start: %5.1f MiB, bare window %5.1f MiB\n",
                    Median(figures.workingSetMiB), Median(bareFigures.workingSetMiB));

        std::printf("  Steps, median of %d more starts, alternating as above, the program "
                    "announcing its steps\n  (ms from CreateProcess, each step's own in "
                    "brackets):\n",
                    kRuns);
        double previous = 0, barePrevious = 0;
        for (const auto& [step, what] : kSteps) {
            const double at = MedianStep(ours[i].steps, step);
            if (at < 0)
                continue;
            std::printf("    %-52s %7.1f (%6.1f)", what, at, at - previous);
            previous = at;
            if (const double bareAt = MedianStep(baseline.steps, step); bareAt >= 0) {
                std::printf("   bare window %7.1f (%6.1f)", bareAt, bareAt - barePrevious);
                barePrevious = bareAt;
            }
            std::printf("\n");
        }
        for (const auto& [step, what] : kSideSteps) {
            const double at = MedianStep(ours[i].steps, step);
            if (at >= 0)
                std::printf("    %-52s %7.1f\n", what, at);
        }
        const Libraries& libraries = ours[i].libraries;
        std::set<std::wstring> extra;
        std::set_difference(libraries.before.begin(), libraries.before.end(),
                            baseline.libraries.before.begin(), baseline.libraries.before.end(),
                            std::inserter(extra, extra.end()));
        PrintNames("libraries loaded before the first paint that the bare window does not load",
                   extra);
        PrintNames("libraries loaded after the first paint", libraries.after);
    }
    std::fflush(stdout);
    return 0;
}
