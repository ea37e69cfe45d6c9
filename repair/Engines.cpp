#include "repair/Engines.h"

#include "framework/Files.h"
#include "framework/Shell.h"

std::wstring GetEnginePath(const wchar_t* engineName) {
    return fw::ProgramFolder() + engineName;
}

bool EngineExists(const std::wstring& path) {
    return fw::PathExists(path);
}

std::wstring MissingEngineMessage(const std::wstring& path) {
    return path + L" not found.\nPlease check whether software is properly installed.";
}

fw::UniqueHandle StartPlayer(const std::wstring& player, const std::wstring& source, DWORD* error) {
    // The player takes its whole command line as the path: no program name in
    // front and no quotes, blanks included. CreateProcessW may write to it.
    std::wstring commandLine = fw::Trimmed(source);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MAXIMIZE;
    PROCESS_INFORMATION started{};
    // The player parses a damaged video from anywhere: it runs as a normal
    // user where the system can make that token, else as the program does.
    const fw::UniqueHandle token = fw::NormalUserToken();
    const BOOL ok =
        token ? CreateProcessAsUserW(token.Get(), player.c_str(), commandLine.data(), nullptr,
                                     nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)
              : CreateProcessW(player.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &started);
    if (!ok) {
        *error = GetLastError();
        return {};
    }
    CloseHandle(started.hThread);
    *error = ERROR_SUCCESS;
    return fw::UniqueHandle(started.hProcess);
}
