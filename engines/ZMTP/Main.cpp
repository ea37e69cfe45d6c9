// Dravix Video Repair Player: plays the video whose path is its command line.
#include "engines/ZMTP/CommandLine.h"
#include "engines/ZMTP/PlayerWindow.h"
#include "engines/ZMTP/resource.h"
#include "framework/Files.h"

#include <windows.h>
#include <objbase.h>

namespace {

int RunPlayer(HINSTANCE instance, const std::wstring& videoPath, int showCommand) {
    CPlayerWindow window(videoPath);
    if (!window.Create(showCommand))
        return 1;
    HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_PLAYER));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.Handle() && TranslateAcceleratorW(window.Handle(), keys, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Libraries come from the system folder only, never from the player's own
    // folder, where anyone who could write there could plant one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The runtime's command line for wWinMain drops the first word as the
    // program name, which would cut "C:\My" off a bare "C:\My Videos\a.mp4".
    const std::wstring videoPath =
        VideoPathFromCommandLine(GetCommandLineW(), fw::FileNameOf(fw::ModulePath()));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const int code = RunPlayer(instance, videoPath, showCommand);
    if (SUCCEEDED(com))
        CoUninitialize();
    return code;
}
