#include "repair/DlgProgress.h"

#include "framework/Files.h"

std::wstring GetEnginePath(const wchar_t* engineName) {
    return fw::ProgramFolder() + engineName;
}

bool EngineExists(const std::wstring& path) {
    return fw::PathExists(path);
}

std::wstring MissingEngineMessage(const std::wstring& path) {
    return path + L" not found.\nPlease check whether software is properly installed.";
}
