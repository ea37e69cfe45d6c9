// The one place where the program asks the user something: message boxes and
// file choosers. Tests install a PromptScript that answers instead of the user.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fw {

// The program's name, in its string table under this id: every box's caption.
inline constexpr UINT kProgramNameString = 0xE0FF;

// A modal message box captioned with the program's name; returns the
// button pressed (IDOK, IDYES, IDNO...). Any thread may call it.
int ShowMessage(const std::wstring& text, UINT type = MB_OK | MB_ICONINFORMATION);
// The system's text for an error code, without its closing line break.
std::wstring SystemReason(DWORD error);

struct FileFilter {
    std::wstring name;
    std::wstring patterns; // "*.mp4;*.mov"
};

struct FileChooserOptions {
    HWND owner = nullptr;
    bool save = false;
    std::vector<FileFilter> filters;
    bool overwritePrompt = false;
    bool fileMustExist = false; // open chooser: refuse names of missing files
};

// Shows the item-style open or save chooser; the chosen full path, or nothing
// when the user cancelled.
std::optional<std::wstring> ChooseFile(const FileChooserOptions& options);

// The extension of a path's file name without its dot, in its own letter case;
// empty when the name has no dot.
std::wstring FileExtension(const std::wstring& path);

// Answers prompts in tests. While one exists, no box or chooser is shown: each
// prompt is recorded and answered by the handler, else from the queue, else
// with IDOK (IDNO for Yes/No boxes) or a cancelled chooser.
class PromptScript {
public:
    struct Record {
        bool chooser = false;
        std::wstring text; // message text
        UINT type = 0;     // message box type
        FileChooserOptions options;
        DWORD threadId = 0;
    };

    PromptScript();
    PromptScript(const PromptScript&) = delete;
    PromptScript& operator=(const PromptScript&) = delete;
    ~PromptScript();

    void AnswerMessage(int button);
    void AnswerFile(std::optional<std::wstring> path);
    // Called for each message box in place of the queue.
    void OnMessage(std::function<int(const Record&)> handler);
    std::vector<Record> Records() const;
    std::vector<Record> Messages() const;

    static PromptScript* Active();
    int Message(const std::wstring& text, UINT type);
    std::optional<std::wstring> File(const FileChooserOptions& options);

private:
    mutable std::mutex m_mutex;
    std::vector<Record> m_records;
    std::vector<int> m_buttons;
    std::vector<std::optional<std::wstring>> m_files;
    std::function<int(const Record&)> m_handler;
};

} // namespace fw
