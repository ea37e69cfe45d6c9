// How long the program takes from CreateProcess until its first page is on
// screen, painted and answering, against a bare window built with the same
// compiler, flags and manifest; and what memory each holds once idle.
//
// The two are started in turn, one warm-up start of each first. A start is
// over when the main window is visible, its thread answers WM_NULL and no
// part of the window or of its children waits to be painted. Each copy is
// left alone until 2 s after its start, its memory is read, and it is closed
// as a user would: the program through its close question (Yes), the bare
// window with WM_CLOSE. A copy that has not gone 5 s later is ended
// (TerminateProcess), so the benchmark leaves nothing running.
#include "bench/Clock.h"
#include "framework/Files.h"
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kRuns = 5;
constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kIdleMs = 2000;
constexpr DWORD kCloseMs = 5000;
constexpr double kMiB = 1024.0 * 1024.0;

using fw::ProgramFolder;

struct Subject {
    const wchar_t* name;
    std::wstring path;
    const wchar_t* windowClass;
    bool asksBeforeClosing;
};

struct Start {
    bool ok = false;
    double seconds = 0;
    double privateMiB = 0;
    double workingSetMiB = 0;
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

// Committed private memory, which Windows reports as private bytes. Wine
// leaves PrivateUsage at 0 for another process, so the regions are summed.
SIZE_T PrivateBytes(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr;
         VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    }
    return total;
}

Start StartOnce(const Subject& subject) {
    Start outcome;
    const std::wstring folder = subject.path.substr(0, subject.path.rfind(L'\\'));
    std::wstring commandLine = L"\"" + subject.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessW(subject.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", subject.path.c_str(),
                     GetLastError());
        return outcome;
    }
    CloseHandle(info.hThread);
    for (;;) {
        HWND window = VisibleWindowOf(info.dwProcessId, subject.windowClass);
        if (window && IsReady(window)) {
            outcome.seconds = Now() - start;
            outcome.ok = true;
            break;
        }
        if (WaitForSingleObject(info.hProcess, 1) != WAIT_TIMEOUT ||
            (Now() - start) * 1000.0 > kTimeoutMs) {
            std::fprintf(stderr, "%ls: no painted window came\n", subject.name);
            break;
        }
    }
    const double idle = kIdleMs / 1000.0 - (Now() - start);
    if (outcome.ok && idle > 0)
        Sleep(static_cast<DWORD>(idle * 1000.0));
    outcome.privateMiB = static_cast<double>(PrivateBytes(info.hProcess)) / kMiB;
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory))
        outcome.workingSetMiB = static_cast<double>(memory.WorkingSetSize) / kMiB;
    CloseOrEnd(subject, info.hProcess, info.dwProcessId);
    CloseHandle(info.hProcess);
    return outcome;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    std::vector<double> ms, privateMiB, workingSetMiB;
    void Add(const Start& start) {
        ms.push_back(start.seconds * 1000.0);
        privateMiB.push_back(start.privateMiB);
        workingSetMiB.push_back(start.workingSetMiB);
    }
};
} // namespace

int main() {
    const Subject program{L"the program", ProgramFolder() + L"..\\bin\\Dravix Video Repair.exe",
                          L"Dravix.MainFrame", true};
    const Subject bare{L"the bare window", ProgramFolder() + L"bare\\BareWindow.exe",
                       L"Dravix.BareWindow", false};

    if (!StartOnce(program).ok || !StartOnce(bare).ok)
        return 1;
    Figures ours, baseline;
    bool ok = true;
    for (int run = 0; run < kRuns; ++run) {
        const Start a = StartOnce(program);
        const Start b = StartOnce(bare);
        ok = ok && a.ok && b.ok;
        ours.Add(a);
        baseline.Add(b);
    }
    if (!ok)
        return 1;

    const double oursMs = Median(ours.ms), bareMs = Median(baseline.ms);
    const double oursPrivate = Median(ours.privateMiB), barePrivate = Median(baseline.privateMiB);
    const double oursSet = Median(ours.workingSetMiB), bareSet = Median(baseline.workingSetMiB);
    std::printf("Start-up, median of %d starts of each, alternating, after one warm-up start\n",
                kRuns);
    std::printf("  program, until its first page is shown, painted and answers: %8.1f ms\n",
                oursMs);
    std::printf("  bare window (same compiler, flags and manifest):             %8.1f ms\n",
                bareMs);
    std::printf("  ratio (aim <= 1.50):                                         %8.2f\n",
                oursMs / bareMs);
    std::printf("  private bytes 2 s after start (aim < 15 MiB): %6.1f MiB, bare window %6.1f "
                "MiB, ratio %.2f\n",
                oursPrivate, barePrivate, oursPrivate / barePrivate);
    std::printf("  working set 2 s after start:                  %6.1f MiB, bare window %6.1f "
                "MiB, ratio %.2f\n",
                oursSet, bareSet, oursSet / bareSet);
    std::printf("  each start, program / bare (ms):");
    for (size_t i = 0; i < ours.ms.size(); ++i)
        std::printf(" %.0f/%.0f", ours.ms[i], baseline.ms[i]);
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}
