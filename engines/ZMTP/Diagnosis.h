// What the player tells the user when a video does not play to its end, and
// the look at the file that tells a damaged file from one of an unsupported kind.
#pragma once

#include <windows.h>

#include <string>

// Why the player shows no video, or stopped showing it.
enum class Trouble {
    CannotOpen,   // damaged, or not a video at all
    NotSupported, // a video of a kind this computer has no player part for
    NoPicture,    // opens, but has nothing to show
    Stopped,      // played part-way; the rest could not be read
};

// Whether the file begins like a video container and, where its kind allows a
// cheap look (MP4, MOV, 3GP), holds the index that a player needs. When such
// a file cannot be opened, the computer lacks the part that reads it; any
// other file that cannot be opened is damaged or not a video.
bool LooksLikeIntactVideo(const std::wstring& path);

// A time as m:ss (h:mm:ss from an hour on), from 100-nanosecond units.
std::wstring FormatTime(LONGLONG units);

// The message for the user: what happened, the file, then the system's code
// (when there is one, error 0 for none) on a line of its own for support.
// `reached` and `duration` count only for Trouble::Stopped.
std::wstring TroubleText(Trouble trouble, const std::wstring& path, HRESULT error,
                         LONGLONG reached = 0, LONGLONG duration = 0);
