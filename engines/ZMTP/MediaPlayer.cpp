#include "engines/ZMTP/MediaPlayer.h"

#include "framework/Gdi.h"

#include <vector>

namespace {

using CreateFunction = HRESULT(WINAPI*)(LPCWSTR, BOOL, MFP_CREATION_OPTIONS,
                                        IMFPMediaPlayerCallback*, HWND, IMFPMediaPlayer**);

// The item's streams that are selected now, by index.
std::vector<DWORD> SelectedStreams(IMFPMediaItem& item) {
    DWORD count = 0;
    item.GetNumberOfStreams(&count);
    std::vector<DWORD> selected;
    for (DWORD i = 0; i < count; ++i) {
        BOOL on = FALSE;
        if (SUCCEEDED(item.GetStreamSelection(i, &on)) && on)
            selected.push_back(i);
    }
    return selected;
}

DWORD WINAPI ShutDownAndRelease(void* parameter) {
    auto* player = static_cast<IMFPMediaPlayer*>(parameter);
    player->Shutdown();
    player->Release();
    return 0;
}

} // namespace

HRESULT CreateMediaPlayer(IMFPMediaPlayerCallback* callback, HWND videoWindow,
                          IMFPMediaPlayer** player) {
    // Kept for the life of the process: the platform's threads call into it.
    static const CreateFunction create = [] {
        HMODULE library = LoadLibraryExW(L"mfplay.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return library ? reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(
                             GetProcAddress(library, "MFPCreateMediaPlayer")))
                       : nullptr;
    }();
    *player = nullptr;
    if (!create)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    return create(nullptr, FALSE, 0, callback, videoWindow, player);
}

bool HasPicture(IMFPMediaItem& item) {
    BOOL present = FALSE, selected = FALSE;
    return SUCCEEDED(item.HasVideo(&present, &selected)) && present && selected;
}

bool HasSound(IMFPMediaItem& item) {
    BOOL present = FALSE, selected = FALSE;
    return SUCCEEDED(item.HasAudio(&present, &selected)) && present && selected;
}

bool KeepPictureOnly(IMFPMediaItem& item) {
    // The item tells a stream's kind only as "a picture is selected" (Wine
    // gives no stream attribute for it), so each stream is asked alone.
    const std::vector<DWORD> selected = SelectedStreams(item);
    for (DWORD i : selected)
        item.SetStreamSelection(i, FALSE);
    std::vector<DWORD> pictures;
    for (DWORD i : selected) {
        item.SetStreamSelection(i, TRUE);
        if (HasPicture(item))
            pictures.push_back(i);
        item.SetStreamSelection(i, FALSE);
    }
    for (DWORD i : pictures)
        item.SetStreamSelection(i, TRUE);
    return !pictures.empty();
}

namespace {
// A position or a length in 100 ns units; 0 when the player cannot tell.
template <typename Read> LONGLONG TimeOf(Read read) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (FAILED(read(&value)))
        return 0;
    const LONGLONG time = value.vt == VT_I8 || value.vt == VT_UI8 ? value.hVal.QuadPart : 0;
    PropVariantClear(&value);
    return time;
}
} // namespace

LONGLONG PositionOf(IMFPMediaPlayer& player) {
    return TimeOf(
        [&](PROPVARIANT* value) { return player.GetPosition(MFP_POSITIONTYPE_100NS, value); });
}

LONGLONG DurationOf(IMFPMediaPlayer& player) {
    return TimeOf(
        [&](PROPVARIANT* value) { return player.GetDuration(MFP_POSITIONTYPE_100NS, value); });
}

bool ShutDownWithin(IMFPMediaPlayer* player, DWORD timeoutMs) {
    fw::UniqueHandle thread(CreateThread(nullptr, 0, ShutDownAndRelease, player, 0, nullptr));
    if (!thread) {
        ShutDownAndRelease(player);
        return true;
    }
    HANDLE handle = thread.Get();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool quit = false;
    int exitCode = 0;
    bool done = false;
    while (!done) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        done = MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(deadline - now),
                                         QS_ALLINPUT) == WAIT_OBJECT_0;
        MSG message;
        while (!done && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The quit request belongs to the message loop, once the player has gone.
                quit = true;
                exitCode = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit)
        PostQuitMessage(exitCode);
    return done;
}
