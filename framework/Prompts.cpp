#include "framework/Prompts.h"

#include "framework/Gdi.h"

#include <atomic>
#include <cwctype>
#include <shobjidl.h>

namespace fw {
namespace {
std::atomic<PromptScript*> g_script{nullptr};

// The window a box of this thread belongs to when none is active: the
// thread's visible top-level window that no other owns, the main frame.
HWND MainWindowOfThisThread() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}
} // namespace

int ShowMessage(const std::wstring& text, UINT type) {
    if (PromptScript* script = PromptScript::Active())
        return script->Message(text, type);
    const wchar_t* caption = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), kProgramNameString,
                                   reinterpret_cast<wchar_t*>(&caption), 0);
    // On the user-interface thread the box belongs to the window in front, so
    // that window stays disabled while the box is up; a worker has no windows.
    HWND owner = GetActiveWindow();
    if (!owner)
        owner = MainWindowOfThisThread();
    return MessageBoxW(owner, text.c_str(), std::wstring(caption, length > 0 ? length : 0).c_str(),
                       type);
}

std::wstring SystemReason(DWORD error) {
    LocalMemory<wchar_t*> buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
    std::wstring reason = length ? std::wstring(buffer.Get(), length) : std::wstring();
    while (!reason.empty() && std::iswspace(reason.back()))
        reason.pop_back();
    if (reason.empty())
        reason = L"Error " + std::to_wstring(error) + L".";
    return reason;
}

std::wstring FileExtension(const std::wstring& path) {
    const size_t name = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (name != std::wstring::npos && dot < name))
        return {};
    return path.substr(dot + 1);
}

std::optional<std::wstring> ChooseFile(const FileChooserOptions& options) {
    if (PromptScript* script = PromptScript::Active())
        return script->File(options);

    ComRef<IFileDialog> owned;
    const HRESULT created =
        options.save ? CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IFileSaveDialog, reinterpret_cast<void**>(owned.Put()))
                     : CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IFileOpenDialog, reinterpret_cast<void**>(owned.Put()));
    if (FAILED(created))
        return std::nullopt;
    IFileDialog* dialog = owned.Get();

    FILEOPENDIALOGOPTIONS flags = 0;
    dialog->GetOptions(&flags);
    flags |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    flags = options.fileMustExist ? (flags | FOS_FILEMUSTEXIST) : (flags & ~FOS_FILEMUSTEXIST);
    flags =
        options.overwritePrompt ? (flags | FOS_OVERWRITEPROMPT) : (flags & ~FOS_OVERWRITEPROMPT);
    dialog->SetOptions(flags);

    std::vector<COMDLG_FILTERSPEC> fileTypes;
    for (const FileFilter& filter : options.filters)
        fileTypes.push_back({filter.name.c_str(), filter.patterns.c_str()});
    if (!fileTypes.empty())
        dialog->SetFileTypes(static_cast<UINT>(fileTypes.size()), fileTypes.data());

    if (FAILED(dialog->Show(options.owner)))
        return std::nullopt;
    ComRef<IShellItem> item;
    if (FAILED(dialog->GetResult(item.Put())))
        return std::nullopt;
    TaskMemory<wchar_t*> path;
    if (FAILED(item.Get()->GetDisplayName(SIGDN_FILESYSPATH, path.Put())) || !path)
        return std::nullopt;
    return std::wstring(path.Get());
}

// PromptScript

PromptScript::PromptScript() {
    g_script = this;
}

PromptScript::~PromptScript() {
    PromptScript* expected = this;
    g_script.compare_exchange_strong(expected, nullptr);
}

PromptScript* PromptScript::Active() {
    return g_script;
}

void PromptScript::AnswerMessage(int button) {
    std::lock_guard lock(m_mutex);
    m_buttons.push_back(button);
}

void PromptScript::AnswerFile(std::optional<std::wstring> path) {
    std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(path));
}

void PromptScript::OnMessage(std::function<int(const Record&)> handler) {
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

std::vector<PromptScript::Record> PromptScript::Records() const {
    std::lock_guard lock(m_mutex);
    return m_records;
}

std::vector<PromptScript::Record> PromptScript::Messages() const {
    std::vector<Record> messages;
    for (const Record& record : Records())
        if (!record.chooser)
            messages.push_back(record);
    return messages;
}

int PromptScript::Message(const std::wstring& text, UINT type) {
    Record record{false, text, type, {}, GetCurrentThreadId()};
    std::function<int(const Record&)> handler;
    int answer = (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    {
        std::lock_guard lock(m_mutex);
        m_records.push_back(record);
        handler = m_handler;
        if (!handler && !m_buttons.empty()) {
            answer = m_buttons.front();
            m_buttons.erase(m_buttons.begin());
        }
    }
    // The handler runs unlocked: it may pump messages or prompt again.
    return handler ? handler(record) : answer;
}

std::optional<std::wstring> PromptScript::File(const FileChooserOptions& options) {
    std::lock_guard lock(m_mutex);
    m_records.push_back({true, {}, 0, options, GetCurrentThreadId()});
    if (m_files.empty())
        return std::nullopt;
    auto answer = std::move(m_files.front());
    m_files.erase(m_files.begin());
    return answer;
}

} // namespace fw
