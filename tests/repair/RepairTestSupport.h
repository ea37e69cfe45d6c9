// Helpers of the repair tests: scratch sources, a recorder of the progress
// bar's positions, work run on the user-interface thread from inside a modal
// loop, and a hook on the job's reads.
#pragma once

#include "support/Testing.h"

#include "app/App.h"
#include "framework/Prompts.h"
#include "repair/RepairJob.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace repair_test {

using support::EngineBeside;
using support::Exists;
using support::ProgramFolder;
using support::PumpUntil;
using support::ReadBytes;
using support::Watchdog;

// A source of `size` varied bytes in the repair tests' scratch folder,
// removed when the object goes.
class ScratchFile : public support::ScratchFile {
public:
    ScratchFile(const wchar_t* name, size_t size)
        : support::ScratchFile(support::TempPath(L"dravix-repair-tests\\") + name, size) {}
};

// Files left in the program's folder under a GUID name: temporary files of
// the repair job.
inline std::vector<std::wstring> LeftoverTemporaryFiles() {
    return support::FilesMatching(ProgramFolder() + L"{*}*");
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

// The repair's file operations while the object lives: the hook sees each
// read before it is made (its number counts from 1) and may fail it.
class ReaderHook : public RepairFileIo {
public:
    using Hook = std::function<bool(int call, HANDLE file, void* buffer, DWORD size)>;
    ReaderHook(CDravix_Video_RecoveryApp& app, Hook hook) : m_app(app), m_hook(std::move(hook)) {
        m_app.SetRepairFileIo(this);
    }
    ReaderHook(const ReaderHook&) = delete;
    ReaderHook& operator=(const ReaderHook&) = delete;
    ~ReaderHook() override { m_app.SetRepairFileIo(nullptr); }
    int Calls() const { return m_calls; }

    bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read) override {
        const int call = ++m_calls;
        if (m_hook && !m_hook(call, file, buffer, size)) {
            SetLastError(ERROR_READ_FAULT);
            return false;
        }
        return RepairFileIo::Read(file, buffer, size, read);
    }

private:
    CDravix_Video_RecoveryApp& m_app;
    Hook m_hook;
    std::atomic<int> m_calls{0};
};

// A disk that fills up at the given write: the write fails, or takes only
// half of what it was given.
class FillingDisk : public RepairFileIo {
public:
    FillingDisk(int failingWrite, bool shortWrite) : m_at(failingWrite), m_short(shortWrite) {}
    bool Write(HANDLE file, const void* data, DWORD size, DWORD* written) override {
        if (++m_writes != m_at)
            return RepairFileIo::Write(file, data, size, written);
        if (m_short)
            return RepairFileIo::Write(file, data, size / 2, written);
        SetLastError(ERROR_DISK_FULL);
        return false;
    }

private:
    int m_writes = 0;
    int m_at;
    bool m_short;
};

// The progress dialog of this program that is up now, or null; any thread may ask.
inline HWND ProgressDialogWindow() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM result) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || !GetDlgItem(window, IDC_PROGRESS_TEXT))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace repair_test
