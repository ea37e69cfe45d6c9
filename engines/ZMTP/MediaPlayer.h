// The system's media player (Media Foundation's mfplay), reached without
// linking to it, and what the player window asks of it beyond its own calls.
#pragma once

#include <windows.h>
#include <mfplay.h>

// MFPCreateMediaPlayer from the system's mfplay.dll, loaded on first use from
// the system folder only: a DLL of that name beside the player is never loaded.
HRESULT CreateMediaPlayer(IMFPMediaPlayerCallback* callback, HWND videoWindow,
                          IMFPMediaPlayer** player);

// Deselects every stream of the item but its selected pictures, so that the
// item plays without sound. False when no picture is left to play.
bool KeepPictureOnly(IMFPMediaItem& item);

// Whether the item has a picture stream selected for playing.
bool HasPicture(IMFPMediaItem& item);
// Whether the item has a sound stream selected for playing.
bool HasSound(IMFPMediaItem& item);

// The player's position and the item's length, in 100-nanosecond units; 0 when unknown.
LONGLONG PositionOf(IMFPMediaPlayer& player);
LONGLONG DurationOf(IMFPMediaPlayer& player);

// Shuts the player down and releases it on a thread of its own, while this
// thread goes on handling its messages (the platform's video renderer may
// need the window's thread to let go). True when that took less than
// `timeoutMs`; false when the platform hangs, and the thread is left to it.
bool ShutDownWithin(IMFPMediaPlayer* player, DWORD timeoutMs);
