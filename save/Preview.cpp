// Preview: plays the selected source in the player installed beside the program.
#include "save/SaveOptionView.h"

#include "framework/Files.h"

fw::UniqueHandle StartPlayer(const std::wstring& player, const std::wstring& source, DWORD* error) {
    // The player takes its whole command line as the path: no program name in
    // front and no quotes, blanks included. CreateProcessW may write to it.
    std::wstring commandLine = fw::Trimmed(source);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MAXIMIZE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(player.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        *error = GetLastError();
        return {};
    }
    CloseHandle(started.hThread);
    *error = ERROR_SUCCESS;
    return fw::UniqueHandle(started.hProcess);
}
