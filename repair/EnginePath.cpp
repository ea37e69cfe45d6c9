#include "repair/DlgProgress.h"

#include <io.h>

std::wstring GetEnginePath(const wchar_t* engineName) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    const size_t slash = folder.rfind(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash);
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder + engineName;
}

bool EngineExists(const std::wstring& path) {
    return _waccess(path.c_str(), 0) == 0;
}

std::wstring MissingEngineMessage(const std::wstring& path) {
    return path + L" not found.\nPlease check whether software is properly installed.";
}
