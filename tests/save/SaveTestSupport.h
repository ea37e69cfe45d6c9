// Shared by the save page tests: a live workspace with the save page current,
// a scratch folder, engine files beside the test program and a watchdog.
#pragma once

#include "app/App.h"
#include "framework/Prompts.h"
#include "save/SaveOptionView.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace savetest {

inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

inline std::wstring EngineFile(const wchar_t* name) {
    return ProgramFolder() + L"\\" + name;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, read);
        std::fclose(file);
    }
    return bytes;
}

// Compares file contents without dumping them: sizes and the first difference.
inline testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return testing::AssertionFailure()
           << "contents differ: " << actual.size() << " bytes against " << expected.size()
           << " expected, first difference at " << at;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr) << "cannot write the test file";
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Bytes that differ at every position from a shifted copy of themselves.
inline std::string SampleBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned value = seed;
    for (char& byte : bytes) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<char>(value >> 16);
    }
    return bytes;
}

// Puts an engine file beside the test program (only its presence counts),
// or removes it.
inline void PlaceEngine(const wchar_t* name) {
    WriteBytes(EngineFile(name), "MZ engine stand-in");
}
inline void RemoveEngine(const wchar_t* name) {
    const std::wstring path = EngineFile(name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Ends the test program with a clear message when a step outlives its bound,
// so that a hung modal loop cannot keep a test run waiting forever.
class Watchdog {
public:
    Watchdog(const char* what, DWORD milliseconds)
        : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this, what, milliseconds] {
            if (WaitForSingleObject(m_done, milliseconds) == WAIT_TIMEOUT) {
                std::fprintf(stderr, "\nTIMED OUT after %lu ms: %s\n", milliseconds, what);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        });
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog() {
        SetEvent(m_done);
        m_thread.join();
        CloseHandle(m_done);
    }

private:
    HANDLE m_done;
    std::thread m_thread;
};

// Counts the dialog windows the calling thread creates while it exists.
class DialogCounter {
public:
    DialogCounter() {
        s_count = 0;
        m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    DialogCounter(const DialogCounter&) = delete;
    DialogCounter& operator=(const DialogCounter&) = delete;
    ~DialogCounter() { UnhookWindowsHookEx(m_hook); }
    int Count() const { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            wchar_t name[32] = {};
            GetClassNameW(reinterpret_cast<HWND>(wParam), name, 32);
            if (std::wstring(name) == L"#32770")
                ++s_count;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int s_count = 0;
    HHOOK m_hook;
};

inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The program's workspace with the save page current, as after a repair, and
// a scratch folder that is removed afterwards.
class SavePageTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_app.CreateWorkspace(SW_SHOW));
        m_page = m_app.m_pSaveView;
        ASSERT_NE(m_page, nullptr);
        m_app.m_bSourcePageActive = 0;
        m_app.ShowPage(1);
        PumpMessages();

        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_scratch = std::wstring(temp) + L"dravix-save-" + std::to_wstring(GetCurrentProcessId()) +
                    L"-" + std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(m_scratch.c_str(), nullptr));
    }

    void TearDown() override {
        PumpMessages();
        RemoveTree(m_scratch);
    }

    std::wstring Scratch(const std::wstring& name) const { return m_scratch + L"\\" + name; }

    // Selects a source file as the source page would.
    void SelectSource(const std::wstring& path) {
        m_app.m_strSourceFile = path;
        m_app.m_strSourceExt = fw::FileExtension(path);
    }

    std::wstring FieldText() const { return m_page->m_editDest.GetText(); }

    static void RemoveTree(const std::wstring& folder) {
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

    CDravix_Video_RecoveryApp m_app;
    fw::PromptScript m_prompts;
    CSaveOptionView* m_page = nullptr;
    std::wstring m_scratch;
};

} // namespace savetest
