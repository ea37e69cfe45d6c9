#include "save/SaveOptionView.h"

#include "framework/Files.h"

fw::JobOutcome SaveJob(const SaveInputs& inputs, fw::Progress& progress, const fw::StopToken&) {
    for (const std::wstring& engine : inputs.engines) {
        if (!fw::PathExists(engine))
            return fw::JobOutcome::Failed(engine, ERROR_FILE_NOT_FOUND);
    }
    progress.Set(40);
    // A destination naming the source itself fails here too (sharing
    // violation): the copy holds the source open while it writes.
    if (!CopyFileW(fw::LongPathForm(inputs.source).c_str(),
                   fw::LongPathForm(inputs.destination).c_str(), FALSE))
        return fw::JobOutcome::Failed(inputs.destination, GetLastError());
    progress.Set(100);
    return {};
}
