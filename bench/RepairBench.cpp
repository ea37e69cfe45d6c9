// How fast the Repair command gets through a large source, against the bare
// 512-byte read-and-write loop that it is built on, and how quickly the
// progress dialog answers another thread while the job runs.
#include "app/App.h"
#include "bench/Clock.h"
#include "bench/SampleFile.h"
#include "framework/Files.h"
#include "framework/Prompts.h"
#include "repair/Engines.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr ULONGLONG kSourceBytes = 256ull * 1024 * 1024;
constexpr int kRuns = 5;
constexpr int kProbeRuns = 2;

using fw::ProgramFolder;

// The job's copy without the program around it: the same handles, the same
// one 512-byte buffer, no dialog, no stop check, no progress.
double BareLoopSeconds(const std::wstring& source, const std::wstring& target) {
    const double start = Now();
    HANDLE in = CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    BYTE chunk[512];
    DWORD read = 0, written = 0;
    while (ReadFile(in, chunk, sizeof chunk, &read, nullptr) && read > 0)
        WriteFile(out, chunk, read, &written, nullptr);
    CloseHandle(in);
    CloseHandle(out);
    const double seconds = Now() - start;
    DeleteFileW(target.c_str());
    return seconds;
}

HWND FindProgressDialog(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM result) -> BOOL {
            if (GetDlgItem(window, IDC_PROGRESS_BAR)) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Sends WM_NULL to the progress dialog from its own thread while the dialog
// is up, and keeps the longest wait for the answer.
struct Probe {
    DWORD uiThread = 0;
    std::atomic<bool> stop{false};
    double longest = 0;
    int answered = 0;

    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<Probe*>(parameter);
        HWND dialog = nullptr;
        while (!self->stop) {
            if (!dialog || !IsWindow(dialog)) {
                dialog = FindProgressDialog(self->uiThread);
                if (!dialog) {
                    Sleep(1);
                    continue;
                }
            }
            DWORD_PTR result = 0;
            const double start = Now();
            if (SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
                self->longest = std::max(self->longest, Now() - start);
                ++self->answered;
            }
            Sleep(2);
        }
        return 0;
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"dravix-bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring source = folder + L"source.mp4";
    if (!WriteSampleFile(source, kSourceBytes)) {
        std::fprintf(stderr, "cannot write the 256 MiB source\n");
        return 1;
    }
    // The program only needs its repair engine to exist.
    const std::wstring engine = GetEnginePath(L"ZMTE.exe");
    const bool madeEngine = !EngineExists(engine);
    if (madeEngine)
        CloseHandle(CreateFileW(engine.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    const double mib = static_cast<double>(kSourceBytes) / (1024.0 * 1024.0);
    BareLoopSeconds(source, ProgramFolder() + L"bench-warm-up.tmp"); // source into the cache

    CDravix_Video_RecoveryApp app;
    fw::PromptScript prompts; // nothing should be asked; if it is, it is counted
    if (!app.CreateWorkspace(SW_SHOW)) {
        std::fprintf(stderr, "cannot create the workspace\n");
        return 1;
    }
    Workflow& state = app.GetWorkflow();
    state.m_strSourceFile = source;
    state.m_strSourceExt = L"mp4";

    // Throughput runs alternate with the bare loop; the answer time is taken
    // in runs of its own, as the probe's messages cost the job some time.
    std::vector<double> bare, repair;
    double longestAnswer = 0;
    int answers = 0;
    for (int run = 0; run < kRuns + kProbeRuns; ++run) {
        const bool probing = run >= kRuns;
        if (!probing)
            bare.push_back(BareLoopSeconds(source, ProgramFolder() + L"bench-bare.tmp"));

        app.ShowPage(0);
        Probe probe;
        probe.uiThread = GetCurrentThreadId();
        HANDLE prober =
            probing ? CreateThread(nullptr, 0, &Probe::Run, &probe, 0, nullptr) : nullptr;
        const double start = Now();
        app.OnRepair();
        const double seconds = Now() - start;
        if (!probing)
            repair.push_back(seconds);
        probe.stop = true;
        if (prober) {
            WaitForSingleObject(prober, INFINITE);
            CloseHandle(prober);
        }
        longestAnswer = std::max(longestAnswer, probe.longest);
        answers += probe.answered;
        if (state.m_bSourcePageActive != 0)
            std::fprintf(stderr, "run %d: the repair did not reach the save page\n", run + 1);
    }
    if (madeEngine)
        DeleteFileW(engine.c_str());
    DeleteFileW(source.c_str());

    const double repairRate = mib / Median(repair);
    const double bareRate = mib / Median(bare);
    std::printf("Repair of a 256 MiB source, median of %d runs\n", kRuns);
    std::printf("  repair pass (Repair command, dialog and job): %8.1f MiB/s\n", repairRate);
    std::printf("  512-byte read/write loop alone:               %8.1f MiB/s\n", bareRate);
    std::printf("  ratio (aim >= 0.90):                          %8.2f\n", repairRate / bareRate);
    std::printf("  longest WM_NULL answer during the job (aim < 50 ms): %.2f ms (%d answers in %d "
                "runs)\n",
                longestAnswer * 1000.0, answers, kProbeRuns);
    if (!prompts.Messages().empty())
        std::printf("  unexpected message: %ls\n", prompts.Messages()[0].text.c_str());
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
