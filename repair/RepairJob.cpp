#include "repair/RepairJob.h"

#include "framework/Files.h"
#include "framework/Gdi.h"

#include <io.h>
#include <objbase.h>

#include <algorithm>
#include <cwctype>
#include <regex>

namespace {
constexpr DWORD kChunkSize = 512;

// Empties the temporary file before it is closed, and so deleted, a few
// megabytes at a time. Under Wine the wineserver gives a file's blocks back
// when it is cut or deleted, and serves no other request meanwhile, the
// dialog's messages included: cut in one go, a large file would leave the
// dialog deaf for a noticeable moment.
void DiscardContent(HANDLE file) {
    constexpr LONGLONG kStep = 4 * 1024 * 1024;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        return;
    for (LONGLONG end = size.QuadPart; end > 0;) {
        end = end > kStep ? end - kStep : 0;
        LARGE_INTEGER position{};
        position.QuadPart = end;
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
            return;
    }
}

// A temporary file's whole name: a GUID in registry form, then a dot and the
// extension when the source has one.
bool IsTemporaryName(const std::wstring& name) {
    static const std::wregex form(
        LR"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}(\.[^.]+)?)");
    return std::regex_match(name, form);
}

// Carries the mark and is nothing but a plain file: never a folder, a link
// (whose target could be anyone's) or a file someone made read-only.
bool IsMarkedTemporary(DWORD attributes) {
    constexpr DWORD kNever = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                             FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (attributes & kTemporaryFileMark) == kTemporaryFileMark && !(attributes & kNever);
}
} // namespace

HANDLE RepairFileIo::OpenSource(const std::wstring& path) {
    // Raw handles, without any buffer of the runtime's: the job's one chunk
    // buffer is the only one between the two files.
    return CreateFileW(fw::LongPathForm(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

HANDLE RepairFileIo::CreateTemporary(const std::wstring& path) {
    // Deleted by the system when its last handle closes, so that a copy of
    // the user's video cannot outlive a crash or a kill. Others may open it
    // only to delete it. The mark tells it from a user's file of the same
    // shape of name, should a power cut leave it behind; "temporary" only
    // keeps it in the cache (Wine drops that attribute).
    return CreateFileW(fw::LongPathForm(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                       nullptr, CREATE_ALWAYS,
                       kTemporaryFileMark | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                       nullptr);
}

bool RepairFileIo::Read(HANDLE file, void* buffer, DWORD size, DWORD* read) {
    return ReadFile(file, buffer, size, read, nullptr) != FALSE;
}

bool RepairFileIo::Write(HANDLE file, const void* data, DWORD size, DWORD* written) {
    return WriteFile(file, data, size, written, nullptr) != FALSE;
}

std::wstring GetWorkingDirectory() {
    const std::wstring folder = fw::ProgramFolder();
    if (!folder.empty() && !fw::PathExists(folder))
        CreateDirectoryW(fw::LongPathForm(folder).c_str(), nullptr);
    return folder;
}

std::wstring NewTemporaryPath(const std::wstring& extension) {
    return fw::WithExtension(GetWorkingDirectory() + fw::CreateGuidString(), extension);
}

int RemoveLeftoverTemporaryFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const fw::FindHandle search(FindFirstFileW(fw::LongPathForm(folder + L"{*").c_str(), &found));
    if (!search)
        return 0;
    int removed = 0;
    do {
        if (!IsTemporaryName(found.cFileName) || !IsMarkedTemporary(found.dwFileAttributes))
            continue;
        // Opened without sharing, it opens only when no process has it open.
        // A link is opened as itself, never followed; what is judged again
        // through the handle is what goes when the handle closes.
        fw::UniqueHandle file(CreateFileW(fw::LongPathForm(folder + found.cFileName).c_str(),
                                          DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION about{};
        if (!file || !GetFileInformationByHandle(file.Get(), &about) ||
            !IsMarkedTemporary(about.dwFileAttributes))
            continue;
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        if (SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition,
                                       sizeof disposition))
            ++removed;
    } while (FindNextFileW(search.Get(), &found));
    return removed;
}

fw::JobOutcome RepairJob(const RepairInputs& inputs, fw::Progress& progress,
                         const fw::StopToken& stop) {
    RepairFileIo realFiles;
    RepairFileIo& io = inputs.io ? *inputs.io : realFiles;
    // A read or write cut short by a stop fails; the stop is what counts then.
    const auto failed = [&](const std::wstring& path, DWORD error) {
        return stop.StopRequested() ? fw::JobOutcome::Stopped()
                                    : fw::JobOutcome::Failed(path, error);
    };
    progress.Set(10);

    fw::UniqueHandle source(io.OpenSource(inputs.source));
    if (!source)
        return failed(inputs.source, GetLastError());
    fw::UniqueHandle target(io.CreateTemporary(inputs.temporary));
    if (!target)
        return failed(inputs.temporary, GetLastError());
    progress.Set(40);

    // However the job ends, the temporary file goes with its handle.
    struct Discard {
        fw::UniqueHandle& file;
        ~Discard() {
            if (file)
                DiscardContent(file.Get());
        }
    } discard{target};
    BYTE chunk[kChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!io.Read(source.Get(), chunk, kChunkSize, &read))
            return failed(inputs.source, GetLastError());
        if (read == 0) {
            DiscardContent(target.Get());
            target.Reset();
            source.Reset();
            progress.Set(100);
            return {};
        }
        if (stop.StopRequested())
            return fw::JobOutcome::Stopped();
        DWORD written = 0;
        if (!io.Write(target.Get(), chunk, read, &written))
            return failed(inputs.temporary, GetLastError());
        // A write that takes fewer bytes than it was given has run out of room.
        if (written != read)
            return failed(inputs.temporary, ERROR_DISK_FULL);
    }
}

namespace {
// A name the system gives to a device in every folder, with any extension.
bool IsDeviceName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/:") + 1);
    name = fw::Trimmed(name.substr(0, name.find(L'.')));
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(towupper(c));
    static const std::wregex devices(LR"(CON|PRN|AUX|NUL|CONIN\$|CONOUT\$|(COM|LPT)[0-9])");
    return std::regex_match(name, devices);
}

// A colon after the drive names a stream of a file (clip.mp4:extra).
bool NamesAStream(const std::wstring& path) {
    size_t names = path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    if (path.size() > names + 1 && path[names + 1] == L':')
        names += 2;
    return path.find(L':', names) != std::wstring::npos;
}
} // namespace

SourceCheck CheckSource(const std::wstring& path) {
    // The device namespace holds pipes, ports and disks, never a video file;
    // reading one could block the job for good. A stream is no video file
    // either, and the temporary file named after it would be a stream too,
    // of a file that nothing removes.
    std::wstring spelled = fw::Trimmed(path);
    std::replace(spelled.begin(), spelled.end(), L'/', L'\\');
    if (spelled.rfind(L"\\\\.\\", 0) == 0 || IsDeviceName(spelled) || NamesAStream(spelled))
        return SourceCheck::NotAFile;
    // Whatever the spelling, what it opens must be a file on a disk: \\?\ and
    // shares lead to pipes as well. Opened for its attributes only, it opens
    // even while another program holds it without sharing.
    const std::wstring longPath = fw::LongPathForm(path);
    fw::UniqueHandle opened(CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (opened) {
        BY_HANDLE_FILE_INFORMATION about{};
        if (GetFileType(opened.Get()) != FILE_TYPE_DISK ||
            !GetFileInformationByHandle(opened.Get(), &about))
            return SourceCheck::NotAFile;
        attributes = about.dwFileAttributes;
    } else if (GetLastError() == ERROR_PIPE_BUSY) {
        return SourceCheck::NotAFile; // a pipe whose every instance is taken
    } else {
        // Not to be opened even so (no access): the repair tells why.
        attributes = GetFileAttributesW(longPath.c_str());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return SourceCheck::Missing;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return SourceCheck::NotAFile;
    return SourceCheck::Ok;
}
