#include "engines/ZMTP/CommandLine.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring_view Trim(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::wstring_view Unquote(std::wstring_view text) {
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    return text;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether a command-line word names this program, with or without folder and ".exe".
bool NamesProgram(std::wstring_view word, std::wstring_view programName) {
    const size_t slash = word.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos)
        word.remove_prefix(slash + 1);
    if (SameText(word, programName))
        return true;
    const size_t dot = programName.rfind(L'.');
    return dot != std::wstring_view::npos && SameText(word, programName.substr(0, dot));
}

bool Exists(std::wstring_view path) {
    return GetFileAttributesW(std::wstring(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::wstring VideoPathFromCommandLine(std::wstring_view commandLine,
                                      std::wstring_view programName) {
    const std::wstring_view line = Trim(commandLine);
    // The bare form comes first: a file whose path begins like a program name
    // ("D:\ZMTP.exe clips\a.mp4") must still be taken whole.
    if (line.empty() || Exists(line))
        return std::wstring(line);

    // The first word, quoted or up to the first blank.
    size_t end = 0;
    if (line.front() == L'"') {
        end = line.find(L'"', 1);
        end = end == std::wstring_view::npos ? line.size() : end + 1;
    } else {
        end = std::min(line.find_first_of(L" \t"), line.size());
    }
    if (NamesProgram(Unquote(line.substr(0, end)), programName))
        return std::wstring(Unquote(Trim(line.substr(end))));
    return std::wstring(Unquote(line));
}
