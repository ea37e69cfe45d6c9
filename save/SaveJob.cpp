#include "save/SaveOptionView.h"

#include "framework/Files.h"

#include <objbase.h>

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

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// A new hidden file beside the destination, for the copy to grow in.
std::wstring PartialPath(const std::wstring& destination) {
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return FolderOf(destination) + L"~dravix-" + std::wstring(text + 1, 36) + L".partial";
}

bool SetDeleteOnClose(HANDLE file, bool deleteOnClose) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteOnClose;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Copies the whole source into `target`; the error code of what failed.
DWORD CopyContent(HANDLE source, HANDLE target, const fw::StopToken& stop) {
    std::vector<BYTE> block(kBlockSize);
    for (;;) {
        if (stop.StopRequested())
            return ERROR_CANCELLED;
        DWORD read = 0;
        if (!ReadFile(source, block.data(), kBlockSize, &read, nullptr))
            return GetLastError();
        if (read == 0)
            return ERROR_SUCCESS;
        DWORD written = 0;
        if (!WriteFile(target, block.data(), read, &written, nullptr) || written != read) {
            const DWORD error = GetLastError();
            return written != read && error == ERROR_SUCCESS ? ERROR_DISK_FULL : error;
        }
    }
}
} // namespace

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
        return fw::JobOutcome::Failed(inputs.destination, GetLastError());
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
    const auto failed = [&](DWORD error) {
        target.Reset();
        SetFileAttributesW(partialLong.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(partialLong.c_str());
        return stop.StopRequested() ? fw::JobOutcome::Stopped()
                                    : fw::JobOutcome::Failed(inputs.destination, error);
    };

    if (const DWORD error = CopyContent(source.Get(), target.Get(), stop))
        return failed(error);
    // What a copy keeps: the source's times and attributes.
    SetFileTime(target.Get(), nullptr, &about.ftLastAccessTime, &about.ftLastWriteTime);
    if (!FlushFileBuffers(target.Get()) || !SetDeleteOnClose(target.Get(), false))
        return failed(GetLastError());
    target.Reset();
    const DWORD attributes =
        about.dwFileAttributes ? about.dwFileAttributes : FILE_ATTRIBUTE_NORMAL;
    SetFileAttributesW(partialLong.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExW(partialLong.c_str(), fw::LongPathForm(inputs.destination).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failed(GetLastError());
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(fw::LongPathForm(inputs.destination).c_str(), attributes);
    progress.Set(100);
    return {};
}
