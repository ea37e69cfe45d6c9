// What the wizard's steps hand each other, owned by the application object.
#pragma once

#include <atomic>
#include <string>

struct Workflow {
    // The chosen video, as the chooser returned it, and its extension
    // without the dot, in its own letter case.
    std::wstring m_strSourceFile;
    std::wstring m_strSourceExt;
    // The last repair's temporary file.
    std::wstring m_strTempOutputFile;
    // The user confirmed Stop in the current (or last) progress dialog.
    std::atomic<bool> m_bStopProcess{false};
    // 1 while the source page is current, 0 while the save page is; written
    // only by the page switch.
    int m_bSourcePageActive = 0;
};
