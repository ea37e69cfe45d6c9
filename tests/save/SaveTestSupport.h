// Shared by the save page tests: a live workspace with the save page current
// and a scratch folder, a comparison of file contents and a dialog counter.
#pragma once

#include "support/Testing.h"

#include "app/App.h"
#include "framework/Prompts.h"
#include "res/resource.h"
#include "save/SaveOptionView.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace savetest {

// Compares file contents without dumping them: sizes and the first difference.
inline testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return testing::AssertionFailure()
           << "contents differ: " << actual.size() << " bytes against " << expected.size()
           << " expected, first difference at " << at;
}

// Counts the dialog windows the calling thread creates while it exists.
class DialogCounter {
public:
    DialogCounter() {
        s_count = 0;
        m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    DialogCounter(const DialogCounter&) = delete;
    DialogCounter& operator=(const DialogCounter&) = delete;
    ~DialogCounter() { UnhookWindowsHookEx(m_hook); }
    int Count() const { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            wchar_t name[32] = {};
            GetClassNameW(reinterpret_cast<HWND>(wParam), name, 32);
            if (std::wstring(name) == L"#32770")
                ++s_count;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int s_count = 0;
    HHOOK m_hook;
};

// The program's workspace with the save page current, as after a repair, and
// a scratch folder that is removed afterwards.
class SavePageTest : public support::Workspace {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Workspace::SetUp());
        m_page = app.SavePage();
        ASSERT_NE(m_page, nullptr);
        GoTo(1);
        support::PumpMessages();
        ASSERT_TRUE(support::Exists(m_scratch.Path()));
    }

    void TearDown() override { support::PumpMessages(); }

    std::wstring Scratch(const std::wstring& name) const { return m_scratch.File(name); }

    // Selects a source file as the source page would, and hands its
    // extension to this page as a repair does.
    void SelectSource(const std::wstring& path) {
        state.m_strSourceFile = path;
        state.m_strSourceExt = fw::FileExtension(path);
        m_page->SetSourceExtension(state.m_strSourceExt);
    }

    std::wstring FieldText() const { return m_page->Item(IDC_DEST_PATH).GetText(); }
    // A click of one of the page's buttons, as the button reports it.
    void Click(int id) const {
        m_page->Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_page->Item(id).Handle()));
    }

    fw::PromptScript m_prompts;
    CSaveOptionView* m_page = nullptr;
    support::ScratchFolder m_scratch{L"dravix-save"};
};

} // namespace savetest
