// The save job: the repaired video copied to where the user chose.
#pragma once

#include "framework/Job.h"

#include <windows.h>

#include <string>
#include <vector>

struct SaveInputs {
    std::wstring source;
    std::wstring destination;
    // Engines that must be present, looked at in this order.
    std::vector<std::wstring> engines;
};

// Checks the engines, then copies the source to the destination, replacing a
// file there only once the copy is whole; reports 40 and 100. Fails with the
// path of the first missing engine (ERROR_FILE_NOT_FOUND), with the source
// when it cannot be opened or read, or with the destination and the reason
// the copy failed; a file there is then left as it was, and nothing else
// either.
fw::JobOutcome SaveJob(const SaveInputs& inputs, fw::Progress& progress, const fw::StopToken& stop);
// The attributes a saved copy takes from its source: read-only, hidden,
// system and archive, nothing else.
DWORD CopiedAttributes(DWORD source);
