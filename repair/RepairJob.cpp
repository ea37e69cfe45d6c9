#include "app/App.h"

#include "framework/Gdi.h"
#include "framework/Prompts.h"
#include "repair/DlgProgress.h"

#include <io.h>
#include <objbase.h>

namespace {
constexpr size_t kChunkSize = 512;
constexpr size_t kModulePathRoom = 500;
constexpr size_t kLongestWorkingDirectory = 260;

BOOL ReadChunk(HANDLE file, void* buffer, DWORD size, DWORD* read) {
    return ReadFile(file, buffer, size, read, nullptr);
}

void ReportProgress(CDlgProgress* dialog, int percent) {
    if (dialog)
        dialog->SetProgress(percent);
}

// Raw handles, without sharing, and without any buffer of the runtime's: the
// job's one chunk buffer is the only one between the two files.
HANDLE OpenSource(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Empties the temporary file before it is closed and deleted, a few
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

HANDLE CreateTarget(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
} // namespace

ChunkReader g_pfnReadChunk = &ReadChunk;

size_t GetWorkingDirectory(wchar_t* buffer, size_t capacity) {
    if (capacity > 0)
        buffer[0] = L'\0';
    wchar_t module[kModulePathRoom] = {};
    GetModuleFileNameW(nullptr, module, kModulePathRoom);
    std::wstring folder(module);
    const size_t slash = folder.rfind(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
    if (!folder.empty() && _waccess(folder.c_str(), 0) != 0)
        CreateDirectoryW(folder.c_str(), nullptr);
    if (folder.size() > kLongestWorkingDirectory || folder.size() >= capacity)
        return 0;
    folder.copy(buffer, folder.size());
    buffer[folder.size()] = L'\0';
    return folder.size();
}

std::wstring CreateGuidString() {
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return text;
}

void CDravix_Video_RecoveryApp::OnRepair() {
    if (m_strSourceFile.empty()) {
        fw::ShowMessage(L"Please add corrupt video file to repair.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::wstring engine = GetEnginePath(L"ZMTE.exe");
    if (!EngineExists(engine)) {
        fw::ShowMessage(MissingEngineMessage(engine), MB_OK | MB_ICONINFORMATION);
        return;
    }

    CDlgProgress dialog;
    dialog.m_bRepair = true;
    dialog.DoModal(MainWindow());

    if (m_bStopProcess) {
        // The Stop handler has already made the source page current.
        _wunlink(m_strTempOutputFile.c_str());
        return;
    }
    if (!dialog.m_bWorkerStarted)
        return; // the dialog has said so; nothing was done
    if (dialog.m_bJobFailed) {
        fw::ShowMessage(m_strSourceFile + L" could not be read.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_bSourcePageActive = 0;
    ShowPage(1);
}

void CDravix_Video_RecoveryApp::RepairJob() {
    CDlgProgress* dialog = m_pProgressDlg;
    ReportProgress(dialog, 10);

    wchar_t directory[1024] = {};
    GetWorkingDirectory(directory, std::size(directory));
    m_strTempOutputFile = directory + CreateGuidString() + L"." + m_strSourceExt;

    fw::UniqueHandle source(OpenSource(m_strSourceFile));
    fw::UniqueHandle target;
    if (source)
        target.Reset(CreateTarget(m_strTempOutputFile));
    if (!source || !target) {
        if (dialog)
            dialog->m_bJobFailed = true;
        return;
    }
    ReportProgress(dialog, 40);

    const auto closeAndRemoveTarget = [&] {
        DiscardContent(target.Get());
        source.Reset();
        target.Reset();
        _wunlink(m_strTempOutputFile.c_str());
    };
    BYTE chunk[kChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!g_pfnReadChunk(source.Get(), chunk, kChunkSize, &read)) {
            // A source that fails under the job: nothing of it may stay behind.
            closeAndRemoveTarget();
            if (dialog)
                dialog->m_bJobFailed = true;
            return;
        }
        if (read == 0) {
            closeAndRemoveTarget();
            ReportProgress(dialog, 100);
            return;
        }
        // Stopped: the temporary file stays, empty, for the Repair command to remove.
        if (m_bStopProcess) {
            DiscardContent(target.Get());
            return;
        }
        // A chunk that cannot be written is skipped; the copy goes on.
        DWORD written = 0;
        WriteFile(target.Get(), chunk, read, &written, nullptr);
    }
}
