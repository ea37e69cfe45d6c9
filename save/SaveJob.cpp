#include "save/SaveJob.h"

#include "framework/Files.h"
#include "framework/Gdi.h"

#include <vector>

namespace {
// The copy is a loop of the program's own on its own handles, in the block
// size of the system's copy (64 KiB, as Wine's CopyFileExW). The system's
// copy itself will not do: it cannot write into the partial file while that
// is held open delete-on-close (a sharing violation), and Wine's never calls
// its progress routine, so it could neither be stopped nor leave nothing
// behind when the program is killed. Blocks of 1 MiB made some copies two to
// five times slower under Wine.
constexpr DWORD kBlockSize = 64 << 10;

// A new hidden file beside the destination, for the copy to grow in.
std::wstring PartialPath(const std::wstring& destination) {
    const std::wstring guid = fw::CreateGuidString();
    return fw::FolderOf(destination) + L"~dravix-" + guid.substr(1, 36) + L".partial";
}

bool SetDeleteOnClose(HANDLE file, bool deleteOnClose) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteOnClose;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// What failed while copying: its error code, and whether it was a read.
struct CopyFault {
    DWORD error = ERROR_SUCCESS;
    bool reading = false;
};

CopyFault CopyContent(HANDLE source, HANDLE target, const fw::StopToken& stop) {
    std::vector<BYTE> block(kBlockSize);
    for (;;) {
        if (stop.StopRequested())
            return {ERROR_CANCELLED};
        DWORD read = 0;
        if (!ReadFile(source, block.data(), kBlockSize, &read, nullptr))
            return {GetLastError(), true};
        if (read == 0)
            return {};
        DWORD written = 0;
        if (!WriteFile(target, block.data(), read, &written, nullptr) || written != read) {
            const DWORD error = GetLastError();
            return {written != read && error == ERROR_SUCCESS ? ERROR_DISK_FULL : error};
        }
    }
}
} // namespace

DWORD CopiedAttributes(DWORD source) {
    // Offline, recall and pin states say where a cloud file's data lives, and
    // not-content-indexed is a choice made about the source: a copy is a
    // whole local file of its own.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    return source & kKept ? source & kKept : FILE_ATTRIBUTE_NORMAL;
}

fw::JobOutcome SaveJob(const SaveInputs& inputs, fw::Progress& progress,
                       const fw::StopToken& stop) {
    for (const std::wstring& engine : inputs.engines) {
        if (!fw::PathExists(engine))
            return fw::JobOutcome::Failed(engine, ERROR_FILE_NOT_FOUND);
    }
    progress.Set(40);

    // Others may read the source meanwhile, but not change, move or replace
    // it: a destination that names the source itself fails at the replace.
    fw::UniqueHandle source(CreateFileW(fw::LongPathForm(inputs.source).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source)
        return fw::JobOutcome::Failed(inputs.source, GetLastError());
    BY_HANDLE_FILE_INFORMATION about{};
    GetFileInformationByHandle(source.Get(), &about);

    // The copy grows in a hidden file of its own and replaces the destination
    // in one step only once it is whole: whatever fails, an earlier file of
    // that name stays as it was.
    const std::wstring partial = PartialPath(inputs.destination);
    const std::wstring partialLong = fw::LongPathForm(partial);
    fw::UniqueHandle target(
        CreateFileW(partialLong.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!target)
        return fw::JobOutcome::Failed(inputs.destination, GetLastError());
    // Until it is whole, the system deletes it when its handle closes, so
    // that a crash or a kill leaves nothing beside the destination.
    SetDeleteOnClose(target.Get(), true);
    const auto failed = [&](DWORD error, const std::wstring& path) {
        target.Reset();
        SetFileAttributesW(partialLong.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(partialLong.c_str());
        return stop.StopRequested() ? fw::JobOutcome::Stopped()
                                    : fw::JobOutcome::Failed(path, error);
    };

    if (const CopyFault fault = CopyContent(source.Get(), target.Get(), stop); fault.error)
        return failed(fault.error, fault.reading ? inputs.source : inputs.destination);
    // What a copy keeps: the source's times and some of its attributes, set
    // through the handle while a failure still deletes the file, so that it
    // never stands hidden under the destination's name. Read-only comes once
    // it has that name.
    const DWORD attributes = CopiedAttributes(about.dwFileAttributes);
    FILE_BASIC_INFO basic{};
    basic.LastAccessTime.LowPart = about.ftLastAccessTime.dwLowDateTime;
    basic.LastAccessTime.HighPart = static_cast<LONG>(about.ftLastAccessTime.dwHighDateTime);
    basic.LastWriteTime.LowPart = about.ftLastWriteTime.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(about.ftLastWriteTime.dwHighDateTime);
    basic.FileAttributes = CopiedAttributes(attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!SetFileInformationByHandle(target.Get(), FileBasicInfo, &basic, sizeof basic) ||
        !FlushFileBuffers(target.Get()) || !SetDeleteOnClose(target.Get(), false))
        return failed(GetLastError(), inputs.destination);
    target.Reset();
    if (!MoveFileExW(partialLong.c_str(), fw::LongPathForm(inputs.destination).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failed(GetLastError(), inputs.destination);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(fw::LongPathForm(inputs.destination).c_str(), attributes);
    progress.Set(100);
    return {};
}
