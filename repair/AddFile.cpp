#include "app/App.h"

#include "framework/Prompts.h"
#include "repair/SourceView.h"

namespace {
// The chooser's one filter. Every video pattern is a "*.ext" wildcard.
constexpr wchar_t kVideoFilterName[] = L"Video Files ";
constexpr wchar_t kVideoPatterns[] =
    L"*.MP4;*.MOV;*.TS;*.3GP;*.mp4;*.mov;*.ts;*.3gp;*.m4v;*.flv;*.3g2;*.avi;*.AVI;*.mkv;*.MKV;"
    L"*.mpg;*.mpeg;*.MPG;*.MPEG;*.DIVX;*.divx;*.webm;*.WEBM;*.asf;*.ASF;*.wmv;*.WMV;";

std::wstring Trimmed(const std::wstring& text) {
    constexpr wchar_t kBlanks[] = L" \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}
} // namespace

void CDravix_Video_RecoveryApp::OnAddFile() {
    fw::FileChooserOptions options;
    options.owner = MainWindow();
    options.filters = {{kVideoFilterName, kVideoPatterns}};
    // The chooser may return a name that does not exist; this command tells
    // the user so in its own words.
    options.fileMustExist = false;

    if (std::optional<std::wstring> chosen = fw::ChooseFile(options)) {
        if (GetFileAttributesW(chosen->c_str()) == INVALID_FILE_ATTRIBUTES) {
            // A missing file never becomes the selection: a later repair
            // would run on it while the page still shows the previous file.
            fw::ShowMessage(Trimmed(*chosen) + L" file does not exists.",
                            MB_OK | MB_ICONINFORMATION);
            return;
        }
        m_strSourceFile = *chosen;
        m_strSourceExt = fw::FileExtension(*chosen);
    }

    if (!m_strSourceFile.empty() && m_pSourceView)
        m_pSourceView->ShowSourceFile(m_strSourceFile);
}
