// How the player reads the video's path from its command line.
#pragma once

#include <string>
#include <string_view>

// The path of the video to play, or an empty string when none was given.
//
// The program hands over the bare path as the whole command line: no quotes,
// no program name, blanks included. A conventional command line (the
// player's own name first, the path quoted or not) is understood as well.
// programName is the player's own file name, for example "ZMTP.exe".
std::wstring VideoPathFromCommandLine(std::wstring_view commandLine, std::wstring_view programName);
