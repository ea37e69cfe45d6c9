// Takes the pictures of the program for the README: starts the built program,
// walks it through the source page, a repair under way, the save page and the
// About box, and writes each state of the main window, with whatever dialog is
// up over it, as a bitmap into screens\ beside this program. tools/take-screenshots
// runs it (make screenshots) and turns the bitmaps into docs/screens/*.png.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The folder a user keeps videos in, so that the pictures show a likely path.
std::wstring VideosFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_PublicVideos, KF_FLAG_CREATE, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

// Sets a file's size without writing it (made if missing): on the host's disk
// the file stays sparse, so a source that lasts stays cheap.
bool SetFileSize(const std::wstring& path, LONGLONG size) {
    const fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file &&
           SetFilePointerEx(file.Get(), LARGE_INTEGER{.QuadPart = size}, nullptr, FILE_BEGIN) &&
           SetEndOfFile(file.Get());
}

class Screens : public testing::Test {
protected:
    void SetUp() override {
        m_folder = support::ProgramFolder() + L"screens\\";
        CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    // Lets the windows finish painting, then takes the main window.
    void Take(const e2e::App& app, const wchar_t* name) {
        Sleep(700);
        EXPECT_TRUE(e2e::CaptureWindow(app.MainWindow(), m_folder + name + L".bmp"))
            << "picture " << name;
    }

private:
    std::wstring m_folder;
};

TEST_F(Screens, SourceProgressSaveAbout) {
    const std::wstring videos = VideosFolder();
    ASSERT_FALSE(videos.empty());
    // Large enough for the repair to last while the picture is taken.
    support::ScratchFile source(videos + L"\\Holiday 2026.mp4");
    ASSERT_TRUE(SetFileSize(source.Path(), LONGLONG{2} << 30));

    e2e::App app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.OpenSource(source.Path()));
    Take(app, L"source");

    e2e::Click(app.Find(IDC_REPAIR));
    HWND dialog = app.WaitForDialogWith(IDC_STOP);
    ASSERT_TRUE(dialog);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) >= 40; }));
    Take(app, L"progress");
    e2e::Click(GetDlgItem(dialog, IDC_STOP));
    HWND question = app.WaitForMessageBox();
    ASSERT_TRUE(question);
    e2e::Press(question, IDYES);
    ASSERT_TRUE(app.WaitForClose(dialog, 30000));

    // A short source ends in a blink and leads to the save page.
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
    ASSERT_TRUE(SetFileSize(source.Path(), 3 << 20));
    ASSERT_TRUE(app.OpenSource(source.Path()));
    e2e::Click(app.Find(IDC_REPAIR));
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.PageHolds(IDC_BROWSE); })) << app.Describe();
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
    ASSERT_TRUE(app.ChooseDestination(videos + L"\\Holiday 2026"));
    Take(app, L"save");

    app.Command(ID_APP_ABOUT);
    HWND about = app.WaitForDialog(L"About Dravix Video Repair");
    ASSERT_TRUE(about);
    Take(app, L"about");
    e2e::Click(GetDlgItem(about, IDC_ABOUT_OK));
    ASSERT_TRUE(app.WaitForClose(about));
    EXPECT_TRUE(app.Close());
}

} // namespace
