#include "framework/Files.h"

#include <cwctype>

namespace fw {

std::wstring ModulePath(HMODULE module) {
    // The system cuts a path that does not fit, and on some systems leaves
    // it without its terminating zero: grow the buffer until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    std::wstring folder = ModulePath();
    folder.resize(folder.rfind(L'\\') + 1); // npos + 1 == 0: no folder at all
    return folder;
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

std::wstring WithExtension(const std::wstring& base, const std::wstring& extension) {
    return extension.empty() ? base : base + L"." + extension;
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace fw
