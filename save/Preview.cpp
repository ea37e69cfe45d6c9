// Preview: plays the selected source in the player installed beside the program.
#include "app/App.h"
#include "framework/Gdi.h"
#include "framework/Prompts.h"
#include "repair/DlgProgress.h"
#include "save/SaveOptionView.h"

#include <cwctype>

namespace {
std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
} // namespace

void CSaveOptionView::OnBnClickedPreview() {
    const std::wstring player = GetEnginePath(L"ZMTP.exe");
    if (!EngineExists(player)) {
        fw::ShowMessage(MissingEngineMessage(player), MB_OK | MB_ICONINFORMATION);
        return;
    }

    // The player takes its whole command line as the path: no program name in
    // front and no quotes, blanks included. CreateProcessW may write to it.
    std::wstring commandLine = Trimmed(GetApp().m_strSourceFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MAXIMIZE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(player.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started))
        return;
    fw::UniqueHandle process(started.hProcess);
    fw::UniqueHandle thread(started.hThread);
    // The program stays unresponsive until the player ends, by design.
    WaitForSingleObject(process.Get(), INFINITE);
    thread.Reset();
    process.Reset();
}
