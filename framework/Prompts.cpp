#include "framework/Prompts.h"

#include "framework/Application.h"

#include <atomic>
#include <cwctype>
#include <shobjidl.h>

namespace fw {
namespace {
std::atomic<PromptScript*> g_script{nullptr};

template <class T> struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
};
} // namespace

int ShowMessage(const std::wstring& text, UINT type) {
    if (PromptScript* script = PromptScript::Active())
        return script->Message(text, type);
    Application* app = Application::Current();
    const std::wstring caption = app ? app->AppName() : std::wstring();
    // On the user-interface thread the box belongs to the window in front, so
    // that window stays disabled while the box is up.
    HWND owner = nullptr;
    if (app && app->OnUiThread()) {
        owner = GetActiveWindow();
        if (!owner)
            owner = app->MainWindow();
    }
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

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

    ComPtr<IFileDialog> dialog;
    const HRESULT created =
        options.save ? CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IFileSaveDialog, reinterpret_cast<void**>(&dialog.p))
                     : CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog.p));
    if (FAILED(created))
        return std::nullopt;

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
    ComPtr<IShellItem> item;
    if (FAILED(dialog->GetResult(&item.p)))
        return std::nullopt;
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return std::nullopt;
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
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
