// The modal progress dialog that runs a repair or a save job on a worker
// thread, and the engine executables that sit beside the program.
#pragma once

#include "framework/Window.h"

#include <string>

class CDlgProgress : public fw::Dialog {
public:
    CDlgProgress();

    // Exactly one is set by the caller before DoModal.
    bool m_bRepair = false;
    bool m_bSave = false;

    // Moves the bar to a percentage: the position is sent to the bar, which is
    // then repainted. Called by the jobs on the worker thread.
    void SetProgress(int percent);

    static DWORD WINAPI WorkerThreadProc(LPVOID parameter);

    fw::WindowRef m_progress;      // control 1013
    fw::WindowRef m_btnStop;       // control 1014
    fw::WindowRef m_staticMessage; // control 1015
};

// Full path of an engine executable in the program's own folder.
std::wstring GetEnginePath(const wchar_t* engineName);
// An engine counts as present when anything exists at its path.
bool EngineExists(const std::wstring& path);
// The message for a missing engine: its path and the installation hint.
std::wstring MissingEngineMessage(const std::wstring& path);
