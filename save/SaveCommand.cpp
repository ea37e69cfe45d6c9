// The Save command and the save job it runs on the progress dialog's worker.
#include "app/App.h"
#include "framework/Prompts.h"
#include "repair/DlgProgress.h"
#include "save/SaveOptionView.h"

#include <cwctype>

namespace {
constexpr UINT kNotice = MB_OK | MB_ICONINFORMATION;
constexpr UINT kWarning = MB_OK | MB_ICONWARNING;

// The system's text for an error code, without its closing line break.
std::wstring SystemReason(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring reason = length ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!reason.empty() && std::iswspace(reason.back()))
        reason.pop_back();
    if (reason.empty())
        reason = L"Error " + std::to_wstring(error) + L".";
    return reason;
}
} // namespace

void CDravix_Video_RecoveryApp::OnSaveCommand() {
    if (m_pSaveView)
        m_pSaveView->OnBnClickedSave();
}

void CSaveOptionView::OnBnClickedSave() {
    m_bSaved = 0;
    m_dwSaveError = ERROR_SUCCESS;
    if (m_editDest.GetText().empty()) {
        fw::ShowMessage(L"Please provide path to save the output file.", kNotice);
        return;
    }

    {
        CDlgProgress dialog;
        dialog.m_bSave = true;
        dialog.DoModal(GetApp().MainWindow());
    }

    if (m_bSaved) {
        fw::ShowMessage(L"File Saved Successfully.", kNotice);
    } else if (m_dwSaveError != ERROR_SUCCESS) {
        fw::ShowMessage(L"The file could not be saved as \"" + m_editDest.GetText() + L"\".\n" +
                            SystemReason(m_dwSaveError),
                        kWarning);
    }
}

void CSaveOptionView::SaveJob() {
    // Asked from this worker thread, the field answers through the UI thread,
    // which sits in the progress dialog's modal loop meanwhile.
    const std::wstring destination = m_editDest.GetText();
    const std::wstring source = GetApp().m_strSourceFile;

    for (const wchar_t* engine : {L"ZMTS.exe", L"ZMTD.exe"}) {
        const std::wstring path = GetEnginePath(engine);
        if (!EngineExists(path)) {
            fw::ShowMessage(MissingEngineMessage(path), kWarning);
            return;
        }
    }

    CDlgProgress* progress = GetApp().m_pProgressDlg;
    if (progress)
        progress->SetProgress(40);
    const DWORD error = CopyToDestination(source, destination);
    m_dwSaveError = error;
    m_bSaved = error == ERROR_SUCCESS;
    if (progress)
        progress->SetProgress(100);
}

DWORD CSaveOptionView::CopyToDestination(const std::wstring& source,
                                         const std::wstring& destination) {
    // A destination naming the source itself fails here too (sharing
    // violation): the copy holds the source open while it writes.
    if (CopyFileW(source.c_str(), destination.c_str(), FALSE))
        return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}
