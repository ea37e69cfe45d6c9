// Helpers of the repair tests: scratch sources, an engine beside the test
// program, a recorder of the progress bar's positions, work run on the
// user-interface thread from inside a modal loop, and bounded waits.
#pragma once

#include "app/App.h"
#include "framework/Prompts.h"
#include "repair/DlgProgress.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace repair_test {

// The test program's folder, with a trailing backslash: where the program
// looks for its engines and makes its temporary files.
inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<BYTE> ReadAll(const std::wstring& path) {
    std::vector<BYTE> data;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    size_t done = 0;
    while (done < data.size() &&
           ReadFile(file, data.data() + done,
                    static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20)), &read,
                    nullptr) &&
           read > 0)
        done += read;
    data.resize(done);
    CloseHandle(file);
    return data;
}

// A file of a given size with varied content in a scratch folder; removed
// when the object goes.
class ScratchFile {
public:
    ScratchFile(const std::wstring& name, size_t size) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        std::wstring folder = std::wstring(temp) + L"dravix-repair-tests\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        m_path = folder + name;
        HANDLE file =
            CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::vector<BYTE> block(1 << 20);
        unsigned value = 2166136261u;
        for (BYTE& b : block) {
            value = (value ^ 0x5Bu) * 16777619u;
            b = static_cast<BYTE>(value >> 13);
        }
        for (size_t done = 0; done < size;) {
            const DWORD part = static_cast<DWORD>(std::min(size - done, block.size()));
            DWORD written = 0;
            WriteFile(file, block.data(), part, &written, nullptr);
            done += part;
        }
        CloseHandle(file);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() { DeleteFileW(m_path.c_str()); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// A ZMTE.exe beside the test program while the object lives (when it made it).
class EngineBeside {
public:
    explicit EngineBeside(const wchar_t* name = L"ZMTE.exe") : m_path(ProgramFolder() + name) {
        if (Exists(m_path))
            return;
        HANDLE file =
            CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        m_made = file != INVALID_HANDLE_VALUE;
        if (m_made)
            CloseHandle(file);
    }
    EngineBeside(const EngineBeside&) = delete;
    EngineBeside& operator=(const EngineBeside&) = delete;
    ~EngineBeside() {
        if (m_made)
            DeleteFileW(m_path.c_str());
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    bool m_made = false;
};

// Files left in the program's folder under a GUID name: temporary files of
// the repair job.
inline std::vector<std::wstring> LeftoverTemporaryFiles() {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW((ProgramFolder() + L"{*}*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

// Records the positions sent to the progress bar of every progress dialog
// opened on this thread while the recorder lives: the bar is subclassed the
// moment it is created.
class ProgressRecorder {
public:
    ProgressRecorder() {
        s_current = this;
        m_hook = SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
    }
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;
    ~ProgressRecorder() {
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    std::vector<int> positions;
    int barsCreated = 0;

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && s_current) {
            HWND window = reinterpret_cast<HWND>(wParam);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, PROGRESS_CLASSW) == 0) {
                ++s_current->barsCreated;
                SetWindowSubclass(window, &BarProc, 1, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR) {
        if (message == PBM_SETPOS && s_current)
            s_current->positions.push_back(static_cast<int>(wParam));
        if (message == WM_NCDESTROY)
            RemoveWindowSubclass(window, &BarProc, 1);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    static inline ProgressRecorder* s_current = nullptr;
    HHOOK m_hook = nullptr;
};

// Runs work on this (the user-interface) thread soon, from whatever message
// loop runs then: the way to look at a modal dialog from inside its loop.
inline void RunOnUiThreadSoon(std::function<void()> work) {
    static std::function<void()> pending;
    pending = std::move(work);
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        auto run = std::move(pending);
        pending = nullptr;
        if (run)
            run();
    });
}

// Handles messages sent to this thread (and runs its timers) until the
// condition holds or the time is up; false on time-out.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > end)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

// Ends the test program with a message when a modal loop under test does
// not come back in time, instead of leaving the run hanging.
class Watchdog {
public:
    explicit Watchdog(const char* what, DWORD timeoutMs = 60000)
        : m_what(what), m_timeout(timeoutMs), m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog() {
        SetEvent(m_done);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        CloseHandle(m_done);
    }

private:
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<Watchdog*>(parameter);
        if (WaitForSingleObject(self->m_done, self->m_timeout) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "Timed out after %lu ms: %s\n",
                         static_cast<unsigned long>(self->m_timeout), self->m_what);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    const char* m_what;
    DWORD m_timeout;
    HANDLE m_done;
    HANDLE m_thread = nullptr;
};

// The chunk reader used by the job while the object lives; the hook sees each
// call before the real read (its number counts from 1) and may fail it.
class ReaderHook {
public:
    using Hook = std::function<bool(int call, HANDLE file, void* buffer, DWORD size)>;
    explicit ReaderHook(Hook hook) : m_previous(g_pfnReadChunk) {
        s_hook = std::move(hook);
        s_calls = 0;
        g_pfnReadChunk = &Read;
    }
    ReaderHook(const ReaderHook&) = delete;
    ReaderHook& operator=(const ReaderHook&) = delete;
    ~ReaderHook() {
        g_pfnReadChunk = m_previous;
        s_hook = nullptr;
    }
    static int Calls() { return s_calls; }

private:
    static BOOL Read(HANDLE file, void* buffer, DWORD size, DWORD* read) {
        const int call = ++s_calls;
        if (s_hook && !s_hook(call, file, buffer, size)) {
            SetLastError(ERROR_READ_FAULT);
            return FALSE;
        }
        return ReadFile(file, buffer, size, read, nullptr);
    }
    static inline Hook s_hook;
    static inline std::atomic<int> s_calls{0};
    ChunkReader m_previous;
};

} // namespace repair_test
