// The repair job, its temporary file and the check of a chosen source.
#pragma once

#include "framework/Job.h"

#include <windows.h>

#include <string>

// The folder the repair job makes its temporary file in: the program's own,
// with a trailing backslash (made when missing).
std::wstring GetWorkingDirectory();
// The temporary file of a repair of a source with this extension (none: the
// GUID alone).
std::wstring NewTemporaryPath(const std::wstring& extension);
// The attributes that mark a repair's temporary file: hidden and system
// together, which no user's video in the program's folder has, and which
// the file systems keep, under Wine too.
constexpr DWORD kTemporaryFileMark = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Removes temporary files that earlier runs left in `folder` (a crash, a
// power cut): files that carry the mark, are named exactly as the repair
// names them, are neither read-only nor a link, and that no process has open.
// Nothing else is touched. Returns how many went.
int RemoveLeftoverTemporaryFiles(const std::wstring& folder);

// The file operations of the repair job. The job uses the real ones; tests
// hand in their own where a disk fills up or a network stops answering.
class RepairFileIo {
public:
    virtual ~RepairFileIo() = default;
    virtual HANDLE OpenSource(const std::wstring& path);
    // Deleted when closed, so it cannot outlive the program.
    virtual HANDLE CreateTemporary(const std::wstring& path);
    virtual bool Read(HANDLE file, void* buffer, DWORD size, DWORD* read);
    virtual bool Write(HANDLE file, const void* data, DWORD size, DWORD* written);
};

struct RepairInputs {
    std::wstring source;
    std::wstring temporary;
    RepairFileIo* io = nullptr; // null: the real files
};

// Copies the source in 512-byte chunks into the temporary file, which is gone
// when the job returns; reports 10, 40 and 100. Fails with the source's path
// when it cannot be read, with the temporary file's when that cannot be made
// or written.
fw::JobOutcome RepairJob(const RepairInputs& inputs, fw::Progress& progress,
                         const fw::StopToken& stop);

// Whether a chosen path can be a source: an existing file on a disk, not a
// device (NUL, CON, COM1, \\.\...), a pipe however spelled, a stream of a
// file (clip.mp4:extra) or a folder.
enum class SourceCheck { Ok, Missing, NotAFile };
SourceCheck CheckSource(const std::wstring& path);
