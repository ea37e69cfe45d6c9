// The source page on real windows: its controls and layout, its painting,
// the Edit pop-up menu and choosing the video through a scripted chooser.
#include "support/Testing.h"

#include "app/App.h"
#include "controls/Controls.h"
#include "framework/Prompts.h"
#include "repair/RepairJob.h"
#include "repair/SourceView.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr wchar_t kHint[] = L"Please add corrput video file to repair.";
constexpr COLORREF kMarker = RGB(255, 0, 255);

struct Placement {
    int x, y, width, height;
    bool operator==(const Placement&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.x << ", " << p.y << ") " << p.width << " x " << p.height;
}

Placement PlacementOf(HWND window) {
    const RECT rect = fw::WindowRef(window).RectInParent();
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

using support::Canvas;

class SourcePage : public support::Workspace {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Workspace::SetUp());
        page = app.SourcePage();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page, app.Page(0));
    }

    HWND Item(int id) const { return GetDlgItem(page->Handle(), id); }
    CToolButton& Button(int id) const {
        auto* button = dynamic_cast<CToolButton*>(fw::WindowBase::FromHandle(Item(id)));
        EXPECT_NE(button, nullptr) << "control " << id << " is no tool button";
        return *button;
    }
    std::wstring PathText() const { return fw::WindowRef(Item(IDC_SOURCE_PATH)).GetText(); }

    void ResizeClient(int cx, int cy) { support::ResizeClient(*page, cx, cy); }

    // An empty file in a scratch folder of the test.
    std::wstring TempFile(const std::wstring& name) {
        const std::wstring path = m_scratch.File(name);
        support::WriteBytes(path, "");
        return path;
    }

    CDravix_Video_RecoveryView* page = nullptr;
    support::ScratchFolder m_scratch;
};

TEST_F(SourcePage, ShowsHintAddAndRepairWithTheirPicturesTipsFontAndColours) {
    EXPECT_EQ(PathText(), kHint);
    EXPECT_EQ(fw::WindowRef(Item(IDC_SOURCE_PATH)).Style() & SS_TYPEMASK, SS_LEFT);

    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(Item(IDC_SOURCE_PATH), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectW(handle, sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, L"Open Sans");
    EXPECT_EQ(font.lfHeight, 14);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);

    // Blue text without background, on the page's white brush.
    Canvas surface(10, 10);
    SetBkMode(surface.Dc(), OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(
        page->Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(surface.Dc()),
                   reinterpret_cast<LPARAM>(Item(IDC_SOURCE_PATH))));
    LOGBRUSH info{};
    ASSERT_TRUE(GetObjectW(brush, sizeof info, &info));
    EXPECT_EQ(info.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(surface.Dc()), TRANSPARENT);
    EXPECT_EQ(GetTextColor(surface.Dc()), RGB(24, 71, 102));

    struct Expected {
        int id;
        SIZE picture;
        const wchar_t* tip;
    };
    for (const Expected& expected :
         {Expected{IDC_ADD, {150, 150}, L"Please add corrupted video file to repair."},
          Expected{IDC_REPAIR, {130, 38}, L"Start the Repair process."}}) {
        SCOPED_TRACE(testing::Message() << "button " << expected.id);
        CToolButton& button = Button(expected.id);
        EXPECT_EQ(button.PictureSize().cx, expected.picture.cx);
        EXPECT_EQ(button.PictureSize().cy, expected.picture.cy);
        EXPECT_TRUE(button.Style() & WS_TABSTOP);
        EXPECT_EQ(support::TooltipText(button.Tooltip(), button.Handle()), expected.tip);
    }
}

// The tips are made only once the first paint is done; the first turns of the
// message loop after the start (the fixture's) must have made them by the
// first hover.
TEST_F(SourcePage, TheFirstHoverAfterTheStartShowsTheTip) {
    CToolButton& add = Button(IDC_ADD);
    SetForegroundWindow(Frame());
    // Under Wine a moved pointer may echo back to where it was, so it is
    // parked once and the frame moved to have the button's middle under it.
    const POINT pointer{700, 500};
    SetCursorPos(pointer.x, pointer.y);
    support::PumpFor(300);
    POINT middle{75, 75};
    ClientToScreen(add.Handle(), &middle);
    const RECT frame = fw::WindowRef(Frame()).WindowRect();
    SetWindowPos(Frame(), nullptr, frame.left + pointer.x - middle.x,
                 frame.top + pointer.y - middle.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The pointer's move, as the message loop hands it on.
    MSG move{add.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(75, 75), GetTickCount(), pointer};
    app.PreTranslate(move);
    ASSERT_TRUE(support::PumpUntil([&] { return IsWindowVisible(add.Tooltip()) != FALSE; }, 5000))
        << "no tip came";
    EXPECT_EQ(support::TooltipText(add.Tooltip(), add.Handle()),
              L"Please add corrupted video file to repair.");
}

TEST_F(SourcePage, LaysOutItsControlsFromTheClientSize) {
    struct Case {
        int cx, cy;
        Placement add, text, repair;
    };
    const Case cases[] = {
        // a = 76, b = 86
        {840, 520, {116, 106, 150, 150}, {100, 276, 406, 36}, {125, 295, 130, 37}},
        // a = 63, b = 66: the text line shrinks with the page
        {700, 400, {103, 86, 150, 150}, {87, 256, 393, 16}, {125, 295, 130, 37}},
        // a = 90, b = 133
        {1000, 800, {130, 153, 150, 150}, {114, 323, 420, 83}, {125, 295, 130, 37}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy);
        ResizeClient(c.cx, c.cy);
        EXPECT_EQ(PlacementOf(Item(IDC_ADD)), c.add);
        EXPECT_EQ(PlacementOf(Item(IDC_SOURCE_PATH)), c.text);
        EXPECT_EQ(PlacementOf(Item(IDC_REPAIR)), c.repair);
    }

    // Below 300 pixels nothing is clamped: the text line's height (b - 50)
    // goes negative, which leaves it without area.
    ResizeClient(500, 250); // a = 45, b = 41
    EXPECT_EQ(PlacementOf(Item(IDC_ADD)), (Placement{85, 61, 150, 150}));
    const Placement text = PlacementOf(Item(IDC_SOURCE_PATH));
    EXPECT_EQ(text.x, 69);
    EXPECT_EQ(text.y, 231);
    EXPECT_EQ(text.width, 375);
    EXPECT_LE(text.height, 0);
}

TEST_F(SourcePage, PaintsTheBackgroundPictureAndWhiteBeyondIt) {
    ResizeClient(900, 560);
    Canvas screen(900, 560, kMarker);
    page->PaintContent(screen.Dc());
    Canvas background(IDB_SOURCE_BACKGROUND);
    for (POINT p : {POINT{0, 0}, POINT{700, 30}, POINT{839, 519}, POINT{420, 200}, POINT{760, 400}})
        EXPECT_EQ(screen.At(p.x, p.y), background.At(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(screen.At(860, 100), RGB(255, 255, 255));
    EXPECT_EQ(screen.At(100, 540), RGB(255, 255, 255));
}

TEST_F(SourcePage, ButtonsRunAddFileAndRepair) {
    fw::PromptScript script;
    Button(IDC_ADD).Send(BM_CLICK);
    const auto records = script.Records();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0].chooser);
    const fw::FileChooserOptions& options = records[0].options;
    EXPECT_FALSE(options.save);
    EXPECT_FALSE(options.fileMustExist);
    EXPECT_EQ(options.owner, app.MainWindow());
    ASSERT_EQ(options.filters.size(), 1u);
    EXPECT_EQ(options.filters[0].name, L"Video Files ");
    EXPECT_EQ(options.filters[0].patterns,
              L"*.MP4;*.MOV;*.TS;*.3GP;*.mp4;*.mov;*.ts;*.3gp;*.m4v;*.flv;*.3g2;*.avi;*.AVI;"
              L"*.mkv;*.MKV;*.mpg;*.mpeg;*.MPG;*.MPEG;*.DIVX;*.divx;*.webm;*.WEBM;*.asf;*.ASF;"
              L"*.wmv;*.WMV;");

    Button(IDC_REPAIR).Send(BM_CLICK);
    const auto messages = script.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Please add corrupt video file to repair.");
}

TEST_F(SourcePage, AddFileKeepsOnlyFilesThatExist) {
    fw::PromptScript script;
    CToolButton& add = Button(IDC_ADD);

    // Cancelled before any choice: nothing changes.
    script.AnswerFile(std::nullopt);
    app.OnAddFile();
    EXPECT_EQ(state.m_strSourceFile, L"");
    EXPECT_EQ(PathText(), kHint);
    EXPECT_EQ(add.PictureSize().cy, 150);

    // An existing file: path and extension as the chooser gave them, check mark for both looks.
    const std::wstring movie = TempFile(L"MOVIE.MP4");
    script.AnswerFile(movie);
    app.OnAddFile();
    EXPECT_EQ(state.m_strSourceFile, movie);
    EXPECT_EQ(state.m_strSourceExt, L"MP4");
    EXPECT_EQ(PathText(), movie);
    EXPECT_EQ(add.PictureSize().cy, 168);
    EXPECT_EQ(PlacementOf(add.Handle()).height, 168) << "the button grows until the next layout";
    Canvas normal(150, 168, kMarker), hover(150, 168, kMarker);
    add.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(normal.Dc()), PRF_CLIENT);
    add.Send(WM_MOUSEHOVER);
    add.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hover.Dc()), PRF_CLIENT);
    add.Send(WM_MOUSELEAVE);
    Canvas check(IDB_ADD_DONE);
    for (POINT p : {POINT{75, 75}, POINT{40, 100}, POINT{149, 167}}) {
        EXPECT_EQ(normal.At(p.x, p.y), check.At(p.x, p.y));
        EXPECT_EQ(hover.At(p.x, p.y), check.At(p.x, p.y));
    }
    EXPECT_TRUE(script.Messages().empty());

    // A missing file: the message names it without its outer blanks, and
    // neither the selection nor the page changes.
    script.AnswerFile(L"  C:\\no such folder\\gone.mp4 ");
    app.OnAddFile();
    const auto messages = script.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"C:\\no such folder\\gone.mp4 file does not exists.");
    EXPECT_EQ(messages[0].type, UINT{MB_OK | MB_ICONINFORMATION});
    EXPECT_EQ(state.m_strSourceFile, movie);
    EXPECT_EQ(state.m_strSourceExt, L"MP4");
    EXPECT_EQ(PathText(), movie);

    // A device, a pipe or a folder is refused the same way, in its own words.
    const std::wstring folder = support::TempPath(L"");
    for (const std::wstring& path : {std::wstring(L"NUL"), std::wstring(L"C:\\clips\\com1.mp4"),
                                     std::wstring(L"\\\\.\\pipe\\clip.mp4"), folder}) {
        script.AnswerFile(path);
        app.OnAddFile();
        EXPECT_EQ(script.Messages().back().text, L"\"" + path + L"\" is not a video file.");
        EXPECT_EQ(script.Messages().back().type, UINT{MB_OK | MB_ICONINFORMATION});
    }
    EXPECT_EQ(script.Messages().size(), 5u);
    EXPECT_EQ(state.m_strSourceFile, movie);
    EXPECT_EQ(PathText(), movie);

    // Cancelled after a choice: the page shows the stored choice again, and
    // the check mark takes its full height once more after a layout.
    ResizeClient(840, 520);
    EXPECT_EQ(PlacementOf(add.Handle()).height, 150);
    script.AnswerFile(std::nullopt);
    app.OnAddFile();
    EXPECT_EQ(state.m_strSourceFile, movie);
    EXPECT_EQ(PathText(), movie);
    EXPECT_EQ(PlacementOf(add.Handle()).height, 168);
}

// Watches for the pop-up menu on another thread, notes it and closes it.
struct MenuWatch {
    std::atomic<bool> seen{false};
    std::vector<std::wstring> items;
    RECT rect{};
    std::thread thread;

    explicit MenuWatch(HWND owner) {
        thread = std::thread([this, owner] {
            const ULONGLONG end = GetTickCount64() + 5000;
            while (GetTickCount64() < end) {
                HWND menu = FindWindowW(L"#32768", nullptr);
                if (menu && IsWindowVisible(menu)) {
                    auto handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                    for (int i = 0; i < GetMenuItemCount(handle); ++i) {
                        wchar_t text[64] = {};
                        GetMenuStringW(handle, i, text, 64, MF_BYPOSITION);
                        items.push_back(text);
                    }
                    GetWindowRect(menu, &rect);
                    seen = true;
                    break;
                }
                Sleep(10);
            }
            // The menu's own loop ends on WM_CANCELMODE, as EndMenu asks.
            PostMessageW(owner, WM_CANCELMODE, 0, 0);
        });
    }
    // Waits for the watch to end; the menu has closed when the caller's
    // message that opened it has returned.
    void Wait() {
        if (thread.joinable())
            thread.join();
    }
    ~MenuWatch() { Wait(); }
};

TEST_F(SourcePage, RightClickAndMenuKeyOpenTheEditMenu) {
    {
        MenuWatch watch(page->Handle());
        page->Send(WM_RBUTTONUP, 0, MAKELPARAM(300, 200));
        watch.Wait();
        ASSERT_TRUE(watch.seen) << "no pop-up menu";
        EXPECT_EQ(watch.items, (std::vector<std::wstring>{L"Cu&t\tCtrl+X", L"&Copy\tCtrl+C",
                                                          L"&Paste\tCtrl+V"}));
        POINT at{300, 200};
        ClientToScreen(page->Handle(), &at);
        EXPECT_EQ(watch.rect.left, at.x);
        EXPECT_EQ(watch.rect.top, at.y);
    }
    {
        // The context-menu key gives no point: the menu opens at the page's corner.
        MenuWatch watch(page->Handle());
        page->Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page->Handle()), MAKELPARAM(-1, -1));
        watch.Wait();
        ASSERT_TRUE(watch.seen) << "no pop-up menu";
        POINT corner{0, 0};
        ClientToScreen(page->Handle(), &corner);
        EXPECT_EQ(watch.rect.left, corner.x);
        EXPECT_EQ(watch.rect.top, corner.y);
    }
    // The keys themselves reach the page, which has the keyboard focus.
    page->TakeFocus();
    ASSERT_EQ(GetFocus(), page->Handle());
    for (const bool shiftF10 : {false, true}) {
        SCOPED_TRACE(shiftF10 ? "Shift+F10" : "context-menu key");
        BYTE saved[256], keys[256];
        GetKeyboardState(saved);
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shiftF10 ? 0x80 : 0;
        SetKeyboardState(keys);
        MenuWatch watch(page->Handle());
        if (shiftF10)
            SendMessageW(GetFocus(), WM_SYSKEYDOWN, VK_F10, 1);
        else
            SendMessageW(GetFocus(), WM_KEYUP, VK_APPS, 0xC0000001);
        watch.Wait();
        SetKeyboardState(saved);
        EXPECT_TRUE(watch.seen) << "no pop-up menu";
    }
    // Its commands do nothing on the page.
    page->Send(WM_COMMAND, ID_EDIT_CUT);
    EXPECT_EQ(PathText(), kHint);
}

} // namespace

TEST(SourceCheck, OnlyOrdinaryFilesAreSources) {
    support::ScratchFile video(support::TempPath(L"dravix check.mp4"), 10);
    EXPECT_EQ(CheckSource(video.Path()), SourceCheck::Ok);
    EXPECT_EQ(CheckSource(video.Path() + L".gone"), SourceCheck::Missing);
    // A pipe that exists: reading it would wait for its other end.
    const wchar_t pipeName[] = L"\\\\.\\pipe\\dravix-source-check";
    fw::UniqueHandle pipe(
        CreateNamedPipeW(pipeName, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(pipe);
    for (const wchar_t* path :
         {L"NUL", L"nul", L"CON", L"COM1", L"C:\\x\\Nul.mp4", L"lpt9.avi", L"\\\\.\\COM1",
          L"\\\\.\\PhysicalDrive0", pipeName, L"//./pipe/dravix-source-check",
          L"\\\\?\\pipe\\dravix-source-check", L"C:\\Windows"})
        EXPECT_EQ(CheckSource(path), SourceCheck::NotAFile) << testing::PrintToString(path);
    EXPECT_EQ(CheckSource(video.Path() + L":stream"), SourceCheck::NotAFile);
    EXPECT_EQ(CheckSource(L"\\\\?\\" + video.Path()), SourceCheck::Ok);
    // Names that only look like devices are ordinary.
    EXPECT_EQ(CheckSource(L"C:\\x\\console.mp4"), SourceCheck::Missing);
}
