// How fast the save job writes a 256 MiB copy, against the system's copy
// (CopyFileW) and the system's copy made durable (CopyFileW, then
// FlushFileBuffers of the copy). The save must be durable: it replaces an
// earlier file, which a power cut must not take with it.
//
// The three run in turn, one warm-up round first, each writing a file that
// is not there yet; the copy is deleted after each run, outside the clock.
#include "bench/Clock.h"
#include "bench/SampleFile.h"
#include "framework/Files.h"
#include "framework/Gdi.h"
#include "save/SaveJob.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr ULONGLONG kSourceBytes = 256ull * 1024 * 1024;
constexpr int kRuns = 5;

struct NoProgress : fw::Progress {
    void Set(int) override {}
};

double SaveSeconds(const std::wstring& source, const std::wstring& destination) {
    NoProgress progress;
    std::atomic<bool> stop{false};
    const double start = Now();
    const fw::JobOutcome outcome =
        SaveJob({source, destination, {}}, progress, fw::StopToken(stop));
    const double seconds = Now() - start;
    return outcome.IsCompleted() ? seconds : -1;
}

double CopySeconds(const std::wstring& source, const std::wstring& destination, bool flush) {
    const double start = Now();
    if (!CopyFileW(source.c_str(), destination.c_str(), FALSE))
        return -1;
    if (flush) {
        fw::UniqueHandle copy(CreateFileW(destination.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        if (!copy || !FlushFileBuffers(copy.Get()))
            return -1;
    }
    return Now() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"dravix-bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring source = folder + L"save-source.mp4";
    const std::wstring destination = folder + L"save-copy.mp4";
    if (!WriteSampleFile(source, kSourceBytes)) {
        std::fprintf(stderr, "cannot write the 256 MiB source\n");
        return 1;
    }

    struct Subject {
        const char* name;
        double (*run)(const std::wstring&, const std::wstring&);
        std::vector<double> seconds;
    };
    Subject subjects[] = {
        {"save job (copy, flush, replace)", &SaveSeconds, {}},
        {"CopyFileW",
         [](const std::wstring& s, const std::wstring& d) { return CopySeconds(s, d, false); },
         {}},
        {"CopyFileW, then FlushFileBuffers",
         [](const std::wstring& s, const std::wstring& d) { return CopySeconds(s, d, true); },
         {}},
    };
    bool ok = true;
    for (int run = 0; run <= kRuns; ++run) {
        for (Subject& subject : subjects) {
            DeleteFileW(destination.c_str());
            const double seconds = subject.run(source, destination);
            ok = ok && seconds >= 0;
            if (run > 0)
                subject.seconds.push_back(seconds);
        }
    }
    DeleteFileW(destination.c_str());
    DeleteFileW(source.c_str());
    if (!ok) {
        std::fprintf(stderr, "a copy failed\n");
        return 1;
    }

    const double mib = static_cast<double>(kSourceBytes) / (1024.0 * 1024.0);
    std::printf("Save of a 256 MiB source, median of %d runs of each, alternating\n", kRuns);
    for (const Subject& subject : subjects) {
        const double median = Median(subject.seconds);
        std::printf("  %-34s %7.1f ms  %7.1f MiB/s   each run (ms):", subject.name, median * 1000.0,
                    mib / median);
        for (double seconds : subject.seconds)
            std::printf(" %.0f", seconds * 1000.0);
        std::printf("\n");
    }
    const double save = Median(subjects[0].seconds);
    std::printf("  save / CopyFileW:                        %5.2f\n",
                save / Median(subjects[1].seconds));
    std::printf("  save / (CopyFileW + flush) (aim <= 1.10): %5.2f\n",
                save / Median(subjects[2].seconds));
    std::fflush(stdout);
    return 0;
}
