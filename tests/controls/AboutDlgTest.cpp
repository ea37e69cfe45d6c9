#include "ControlTestSupport.h"

#include "app/WebAddresses.h"
#include "controls/AboutDlg.h"
#include "framework/Picture.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>

namespace {

using namespace controls_test;

constexpr INT_PTR kTimedOut = -7;

HWND FindAboutBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) {
            wchar_t title[64]{};
            GetWindowTextW(window, title, 64);
            if (IsWindowVisible(window) && std::wstring(title) == L"About Dravix Video Repair") {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs an About box modally and calls `drive` once the box is up and painted;
// `drive` should end it. A box still up after the time-out is ended with kTimedOut.
INT_PTR RunAbout(std::function<void(HWND)> drive, CLinkOpener* opener = nullptr,
                 DWORD timeoutMs = 5000) {
    static std::function<void(HWND)>* s_drive;
    static ULONGLONG s_deadline;
    s_drive = &drive;
    s_deadline = GetTickCount64() + timeoutMs;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND box = FindAboutBox();
        if (box && s_drive) {
            // Taken first: the drive pumps messages and this timer comes again meanwhile.
            auto* drive = std::exchange(s_drive, nullptr);
            Repaint(box);
            (*drive)(box);
        } else if (box && GetTickCount64() > s_deadline) {
            EndDialog(box, kTimedOut);
        }
    });
    CAboutDlg dlg(kMakerHomeUrl, opener);
    const INT_PTR result = dlg.DoModal();
    KillTimer(nullptr, timer);
    EXPECT_NE(result, kTimedOut) << "the About box did not close";
    return result;
}

void PressKey(HWND box, WPARAM key) {
    PostMessageW(GetFocus() ? GetFocus() : box, WM_KEYDOWN, key, 0);
}

void ClickLink(HWND box, int id) {
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

std::wstring TextOf(HWND box, int id) {
    return fw::WindowRef(GetDlgItem(box, id)).GetText();
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(AboutDlg, ShowsItsTextsInTheirFontsAndClosesOnEscape) {
    const INT_PTR result = RunAbout([](HWND box) {
        EXPECT_FALSE(GetWindowLongW(box, GWL_STYLE) & WS_SYSMENU);
        EXPECT_EQ(TextOf(box, IDC_PRODUCT), L"Dravix Video Repair \nVersion 19.0");
        EXPECT_EQ(TextOf(box, IDC_WEBSITE_LABEL), L"Company Website  : ");
        EXPECT_EQ(TextOf(box, IDC_SALES_LABEL), L"Sales\t\t    :");
        EXPECT_EQ(TextOf(box, IDC_SUPPORT_LABEL), L"Support\t\t    :");
        EXPECT_EQ(TextOf(box, IDC_HOMEPAGE_LINK), L"Software Homepage");
        EXPECT_EQ(TextOf(box, IDC_SALES_LINK), L"sales@dravix.example");
        EXPECT_EQ(TextOf(box, IDC_SUPPORT_LINK), L"support@dravix.example");
        EXPECT_EQ(TextOf(box, IDC_FFMPEG_NOTE), L"This software is using FFmpeg free Dlls. ");
        EXPECT_FALSE(TextOf(box, IDC_NOTICE).empty());

        // The product and notice lines keep the dialog's font.
        const auto dialogFont = SendMessageW(box, WM_GETFONT, 0, 0);
        for (int id : {IDC_PRODUCT, IDC_NOTICE})
            EXPECT_EQ(SendMessageW(GetDlgItem(box, id), WM_GETFONT, 0, 0), dialogFont) << id;
        for (int id : {IDC_WEBSITE_LABEL, IDC_HOMEPAGE_LINK, IDC_SALES_LABEL, IDC_SALES_LINK,
                       IDC_SUPPORT_LABEL, IDC_SUPPORT_LINK, IDC_FFMPEG_NOTE}) {
            const LOGFONTW font = FontOf(GetDlgItem(box, id));
            EXPECT_STREQ(font.lfFaceName, L"Open Sans") << id;
            EXPECT_EQ(font.lfHeight, 14) << id;
            EXPECT_EQ(font.lfWeight, FW_BOLD) << id;
        }
        PressKey(box, VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(AboutDlg, PaintsItsPictureBehindTheTextsAndAWhiteOkButton) {
    const INT_PTR result = RunAbout([](HWND box) {
        fw::Bitmap picture = fw::LoadBitmapResource(IDB_ABOUT_BACKGROUND, LR_CREATEDIBSECTION);
        ASSERT_EQ(fw::BitmapSize(picture.Get()).cx, 378);
        ASSERT_EQ(fw::BitmapSize(picture.Get()).cy, 440);
        fw::MemoryDC source(nullptr);
        fw::SelectGuard select(source.Get(), picture.Get());

        // On the screen, where no control covers it and between the letters
        // of the transparent texts.
        RECT client{};
        GetClientRect(box, &client);
        POINT origin{0, 0};
        ClientToScreen(box, &origin);
        RECT frame{};
        GetWindowRect(box, &frame);
        const RECT block{origin.x - frame.left, origin.y - frame.top,
                         origin.x - frame.left + client.right,
                         origin.y - frame.top + client.bottom};
        const Pixels shown(box, block);
        int same = 0, checked = 0;
        for (int y = 0; y < std::min<int>(client.bottom, 440); y += 7)
            for (int x = 0; x < std::min<int>(client.right, 378); x += 7, ++checked)
                same += shown.At(x, y) == GetPixel(source.Get(), x, y);
        // Only the letters and the OK button differ.
        EXPECT_GT(same, checked * 9 / 10);
        for (POINT point : {POINT{360, 10}, POINT{30, 30}, POINT{200, 60}})
            EXPECT_EQ(shown.At(point.x, point.y), GetPixel(source.Get(), point.x, point.y));
        // Beyond the picture its last column carries on.
        for (int y = 0; y < std::min<int>(client.bottom, 440); y += 5)
            for (int x = 378; x < client.right; ++x)
                ASSERT_EQ(shown.At(x, y), GetPixel(source.Get(), 377, y)) << x << "," << y;

        const Pixels ok(box, BlockOf(GetDlgItem(box, IDC_ABOUT_OK)));
        EXPECT_EQ(ok.At(5, 2), RGB(255, 255, 255));
        EXPECT_EQ(ok.At(ok.Width() - 3, ok.Height() - 3), RGB(255, 255, 255));
        EXPECT_GT(ok.Count(RGB(0, 0, 0)), 10) << "the caption";
        PressKey(box, VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
}

TEST(AboutDlg, LinksOpenTheirTargetsAndANewBoxStartsWithBlueLinks) {
    FakeShell shell;
    const int links[] = {IDC_HOMEPAGE_LINK, IDC_SALES_LINK, IDC_SUPPORT_LINK};
    std::vector<std::wstring> shown;
    INT_PTR result = RunAbout(
        [&](HWND box) {
            for (int id : links) {
                shown.push_back(fw::WindowRef(GetDlgItem(box, id)).GetText());
                EXPECT_EQ(AskColour(GetDlgItem(box, id)).text, RGB(0, 0, 255)) << id;
                ClickLink(box, id);
                EXPECT_EQ(AskColour(GetDlgItem(box, id)).text, RGB(128, 0, 128)) << id;
            }
            PostMessageW(GetDlgItem(box, IDC_ABOUT_OK), BM_CLICK, 0, 0);
        },
        &shell);
    EXPECT_EQ(result, IDOK);
    // Each mail link writes to the address it shows.
    ASSERT_EQ(shell.opened.size(), 3u);
    EXPECT_EQ(shell.opened[0], kMakerHomeUrl);
    EXPECT_EQ(shell.opened[1], L"mailto:" + shown[1]);
    EXPECT_EQ(shell.opened[2], L"mailto:" + shown[2]);

    result = RunAbout([&](HWND box) {
        for (int id : links)
            EXPECT_EQ(AskColour(GetDlgItem(box, id)).text, RGB(0, 0, 255)) << id;
        PressKey(box, VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(AboutDlg, TabReachesTheLinksAndOkAndAScreenReaderReadsThem) {
    FakeShell shell;
    std::vector<int> order;
    const INT_PTR result = RunAbout(
        [&](HWND box) {
            for (int i = 0; i < 4; ++i) {
                SendMessageW(box, WM_NEXTDLGCTL, 0, 0);
                order.push_back(GetDlgCtrlID(GetFocus()));
            }
            const auto sales = support::ReadAccessible(GetDlgItem(box, IDC_SALES_LINK));
            EXPECT_EQ(sales.role, ROLE_SYSTEM_LINK);
            EXPECT_EQ(sales.name, L"sales@dravix.example");
            EXPECT_EQ(sales.value, L"mailto:sales@dravix.example");
            for (int id : {IDC_PRODUCT, IDC_NOTICE, IDC_WEBSITE_LABEL, IDC_FFMPEG_NOTE}) {
                const auto text = support::ReadAccessible(GetDlgItem(box, id));
                EXPECT_EQ(text.role, ROLE_SYSTEM_STATICTEXT) << id;
                EXPECT_EQ(text.name, TextOf(box, id)) << id;
            }
            EXPECT_EQ(support::ReadAccessible(GetDlgItem(box, IDC_ABOUT_OK)).role,
                      ROLE_SYSTEM_PUSHBUTTON);
            // Through the dialog's own loop: Tab from OK, then Enter on the link.
            PressKey(box, VK_TAB);
            PostMessageW(GetDlgItem(box, IDC_HOMEPAGE_LINK), WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(GetDlgItem(box, IDC_HOMEPAGE_LINK), WM_KEYDOWN, VK_ESCAPE, 0);
        },
        &shell);
    EXPECT_EQ(order, (std::vector<int>{IDC_HOMEPAGE_LINK, IDC_SALES_LINK, IDC_SUPPORT_LINK,
                                       IDC_ABOUT_OK}));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{kMakerHomeUrl});
}

} // namespace
