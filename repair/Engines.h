// The engine executables that sit beside the program: where they are,
// whether they are there, and the start of the preview player.
#pragma once

#include "framework/Gdi.h"

#include <string>

// Full path of an engine executable in the program's own folder.
std::wstring GetEnginePath(const wchar_t* engineName);
// An engine counts as present when anything exists at its path.
bool EngineExists(const std::wstring& path);
// The message for a missing engine: its path and the installation hint.
std::wstring MissingEngineMessage(const std::wstring& path);

// Starts the player with the source path as its whole command line,
// maximized, as a normal user where the system can make such a token; its
// process, or none with the system's error code.
fw::UniqueHandle StartPlayer(const std::wstring& player, const std::wstring& source, DWORD* error);
