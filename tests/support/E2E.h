// Drives the real program from outside, as a user would: the built
// "Dravix Video Repair.exe" runs as a process of its own and the test finds
// its windows by process, class or caption and control id, never by position.
//
//   #include "support/E2E.h"
//
//   e2e::App app;                                // build*/bin/Dravix Video Repair.exe
//   ASSERT_TRUE(app.Start());                    // waits for the main window
//   app.Command(ID_FILE_OPEN);                   // as if chosen from the menu
//   HWND chooser = app.WaitForFileDialog();
//   ASSERT_TRUE(chooser);
//   e2e::ChooseFile(chooser, L"Z:\\tmp\\clip.mp4");
//   e2e::Click(app.Find(IDC_REPAIR));            // a button of the current page
//   HWND box = app.WaitForMessageBox();
//   ASSERT_TRUE(box);
//   EXPECT_EQ(e2e::MessageBoxText(box), L"...");
//   e2e::Press(box, IDOK);
//   app.Close();                                 // close question answered Yes
//
// The wizard's steps as a user takes them are one call each:
// app.ReachTheSavePage(source), app.StartRepair(heldSource), app.Answer(IDOK)...
//
// Every wait is bounded (kTimeout unless given) and reports a gtest failure
// naming what it waited for and the windows the process had then; the waits
// return null or false so that the test can ASSERT on them. A wait for work
// (a repair, a save) is bounded by TimeoutFor the bytes it handles, and a test
// that must act while a job runs holds the job's source (HeldSource). Nothing here
// blocks on the program: commands and clicks are posted, so a handler that
// opens a modal box never holds up the test. The App destructor kills the
// process if it still runs, so a failed test leaves nothing behind.
#pragma once

#include "support/Testing.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// For a window or a box to come: generous, as a busy machine is slow to show one.
inline constexpr DWORD kTimeout = 30000; // ms
// For work over `bytes` to end: kTimeout, and a second more for each MiB,
// far slower than any machine reads and writes.
constexpr DWORD TimeoutFor(std::uint64_t bytes) {
    return kTimeout + static_cast<DWORD>(bytes >> 20) * 1000;
}

// The folder of the program and its engines: build*/bin beside build*/tests.
std::wstring BinFolder();
// build*/bin/Dravix Video Repair.exe
std::wstring ProgramPath();
// Copies the program and the named engines from BinFolder() into `folder`;
// false (and a test failure) when one cannot be copied.
bool InstallInto(const std::wstring& folder, const std::vector<std::wstring>& engines = {});

using support::WaitUntil;

// Window facts, read across processes.
std::wstring Text(HWND window);
std::wstring ClassOf(HWND window);
// Its size on the screen, frame included.
SIZE SizeOf(HWND window);
// A child, grandchild... of `parent` with this control id (and class, if given).
HWND FindDescendant(HWND parent, int id, const wchar_t* className = nullptr);

// A message box is a #32770 dialog: its text is the static 0xFFFF, its icon the static 0x440.
bool IsMessageBox(HWND window);
std::wstring MessageBoxText(HWND box);
bool MessageBoxHasIcon(HWND box);
// Ids of the push buttons of a dialog, in z-order (IDOK, IDYES, IDNO...).
std::vector<int> ButtonIds(HWND dialog);

// Presses the dialog's button `id` (IDOK, IDYES, IDNO, IDCANCEL, a control id):
// the dialog gets the button's WM_COMMAND, posted.
void Press(HWND dialog, int id);
// Clicks a button: BM_CLICK, posted.
void Click(HWND button);
// Types a full path into an open or save chooser and confirms it with IDOK.
// Works for the item-style chooser (Edit 1152) and the classic one (Edit 1148).
bool ChooseFile(HWND chooser, const std::wstring& path);

// The window of a program's that has the keyboard focus.
HWND FocusOf(HWND window);
// Keys into the window in front, as a user types them: a virtual key with a
// modifier held (0: none), or text letter by letter.
void Type(HWND front, WORD key, WORD modifier = 0);
void TypeText(HWND front, const std::wstring& text);

// Writes what the screen shows where `window` is as a 24-bit bitmap file.
bool CaptureWindow(HWND window, const std::wstring& path);

// Temporary files of the repair job (named after a GUID) in `folder`.
std::vector<std::wstring> RepairTemporaryFiles(const std::wstring& folder = BinFolder());

// A source video of `size` varied bytes in the temporary folder, and where
// its repaired copy goes: `chosen` as typed into the save chooser, `output`
// as the program names the file it writes. Both files go with the object.
struct Videos {
    Videos(const std::wstring& prefix, std::uint64_t size);
    support::ScratchFile source;
    std::string bytes; // the source's
    std::wstring chosen;
    support::ScratchFile output;
};

// How to start a program when its defaults do not do.
struct StartAs {
    // The whole command line, as the process gets it: nothing is put in front.
    std::wstring commandLine = {};
    // The show state of its first window (SW_MAXIMIZE...), or -1 for the default.
    int showCommand = -1;
    // "NAME=value" settings on top of this process's environment.
    std::vector<std::wstring> environment = {};
};

// A source video that the test holds back: a job that reads it waits, on
// any machine, until the test ends it, so that a test can act while a job
// runs without a large file.
//
//   e2e::HeldSource source(L"dravix e2e held.mp4");   // a small ordinary file
//   ASSERT_TRUE(app.OpenSource(source.Path()));
//   ASSERT_TRUE(source.Hold());          // now a pipe that only the test writes
//   e2e::Click(app.Find(IDC_REPAIR));    // the job reads, and waits
//   source.End();                        // the job's read finds the end
//
// Wine takes a pipe for no file at all, so the program is shown an ordinary
// file first and Hold() puts a named pipe (a FIFO) in its place. Wine has no
// call that makes one, but it runs host programs: mkfifo makes it. Wine only.
class HeldSource {
public:
    explicit HeldSource(const std::wstring& name);
    HeldSource(const HeldSource&) = delete;
    HeldSource& operator=(const HeldSource&) = delete;
    ~HeldSource();
    const std::wstring& Path() const { return m_path; }

    // Puts the pipe in the file's place; false (and a test failure) when it cannot.
    bool Hold();
    // The reader's waiting read returns: the file ends there.
    void End();

private:
    std::wstring m_path;
    std::wstring m_hostPath;
    fw::UniqueHandle m_writer;
    bool m_held = false;
};

// One run of the program. Not copyable; the destructor kills a process that still runs.
class App {
public:
    explicit App(std::wstring program = ProgramPath());
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    // Starts the program with `arguments` and waits for its main window;
    // false (and a test failure) when it did not come.
    bool Start(const std::wstring& arguments = L"");
    // Starts the program without waiting for anything (a second copy, for example).
    bool Launch(const std::wstring& arguments = L"");
    bool Launch(const StartAs& how);
    // Takes over a copy of the program that something else started, once its
    // main window is up; false (and a test failure) when none came.
    bool Attach(DWORD timeoutMs = kTimeout);

    DWORD ProcessId() const { return m_processId; }
    bool IsRunning() const;
    // The main frame of this process (class "Dravix.MainFrame"), or null.
    HWND MainWindow() const;
    HWND WaitForMainWindow(DWORD timeoutMs = kTimeout);
    // Visible top-level windows of this process.
    std::vector<HWND> Windows() const;
    // A control of the main window (or one of its pages) by id, or null.
    HWND Find(int id) const;
    // The current page holds a control with this id (IDC_REPAIR, IDC_BROWSE...).
    bool PageHolds(int controlId) const;

    // Posts WM_COMMAND (as from the menu) to the main window.
    void Command(UINT id) const;
    // Posts a message to the main window.
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The first visible window of this process for which `match` holds.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, const std::wstring& what,
                       DWORD timeoutMs = kTimeout);
    HWND WaitForMessageBox(DWORD timeoutMs = kTimeout);
    // A #32770 dialog with this caption (a chooser is titled "Open", "Save" or "Save As").
    HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs = kTimeout);
    // A #32770 dialog holding a control with this id (IDC_PROGRESS_BAR, for example).
    HWND WaitForDialogWith(int controlId, DWORD timeoutMs = kTimeout);
    // An open or save chooser, whatever its title.
    HWND WaitForFileDialog(DWORD timeoutMs = kTimeout);
    // Waits until `window` is gone (destroyed, not just hidden).
    bool WaitForClose(HWND window, DWORD timeoutMs = kTimeout);

    // Chooses the source video through File, Open and waits until the page
    // shows it; false (and a test failure) when any step did not come.
    bool OpenSource(const std::wstring& path);
    // Browses through the save page's real chooser to `chosen` and waits until
    // the field holds the output name; false (and a test failure) when any step did not come.
    bool ChooseDestination(const std::wstring& chosen);

    // The wizard's steps as a user takes them, each waited for; false or null
    // (and a test failure) when one did not come.
    //
    // Start() and OpenSource(source).
    bool StartWith(const std::wstring& source);
    // Presses Repair and waits for the progress dialog, which it returns.
    HWND StartRepair();
    // Chooses the source, holds it and presses Repair: the job runs until the
    // test ends the source. Returns the progress dialog.
    HWND StartRepair(HeldSource& source);
    // Presses Stop under the progress dialog and answers Yes, lets the held
    // source's read end, and waits until the dialog is gone and the frame
    // takes commands again: until then the program is still inside Repair.
    bool StopRepair(HWND dialog, HeldSource& source);
    // Waits for the save page and a frame that takes commands again, for as
    // long as a repair of `bytes` may take.
    bool WaitForSavePage(std::uint64_t bytes = 0);
    // Presses Repair and waits for the save page.
    bool Repair(std::uint64_t bytes = 0);
    // StartWith(source), then Repair.
    bool ReachTheSavePage(const std::wstring& source, std::uint64_t bytes = 0);

    // A message box of this process is up.
    bool HasMessageBox() const;
    // Waits for a message box, presses `button` and waits until the box is
    // gone; returns its text, or an empty text (and a test failure) when no box came.
    std::wstring Answer(int button, DWORD timeoutMs = kTimeout);

    // Waits for the process to end; false (and a test failure) on time-out.
    bool WaitForExit(DWORD timeoutMs = kTimeout);
    // Exit code of an ended process; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    // Closes the program through File, Exit and answers the close question Yes.
    bool Close(DWORD timeoutMs = kTimeout);
    // Ends the process at once.
    void Kill();

    // The process's visible windows, for failure messages.
    std::wstring Describe() const;

private:
    std::wstring m_program;
    fw::UniqueHandle m_process;
    DWORD m_processId = 0;
};

} // namespace e2e
