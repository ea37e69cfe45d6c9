// Paths and text of the program's own: where it is installed, and paths in
// the form every file call accepts.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The full path of the running program, however long.
std::wstring ModulePath(HMODULE module = nullptr);
// The program's folder, with a trailing backslash.
std::wstring ProgramFolder();
// A path that file calls take even when it is longer than MAX_PATH: long
// absolute paths get the \\?\ form; others are returned as they are.
std::wstring LongPathForm(const std::wstring& path);
// `base`, a dot and `extension`; `base` alone when there is no extension.
// A name may not end in a dot: Windows drops it, except in the \\?\ form,
// where it stays and makes a file the shell cannot handle.
std::wstring WithExtension(const std::wstring& base, const std::wstring& extension);
// The folder part of a path, with its trailing separator; empty when the
// path names no folder.
std::wstring FolderOf(const std::wstring& path);
// The file name part of a path: all of it when it names no folder.
std::wstring FileNameOf(const std::wstring& path);
// A new GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring CreateGuidString();
// Anything exists at the path: a file, a folder, a device.
bool PathExists(const std::wstring& path);
// The text without white space at either end.
std::wstring Trimmed(const std::wstring& text);

} // namespace fw
