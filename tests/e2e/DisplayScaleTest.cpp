// The program at the display's scale. The ordinary run is at 96 DPI;
// tests/e2e/display-scale.sh runs this again in a prefix of its own at 144 and
// 192 DPI, naming the DPI it set in DRAVIX_EXPECT_DPI and a folder in
// DRAVIX_SCREENS where the pictures of each page and of the About box go.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A window's rectangle in the client coordinates of `page`.
RECT PlacedIn(HWND page, HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

using e2e::SizeOf;

class DisplayScale : public testing::Test {
protected:
    void SetUp() override {
        fw::WindowDC screen(nullptr);
        m_dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        if (const char* expected = std::getenv("DRAVIX_EXPECT_DPI")) {
            ASSERT_EQ(m_dpi, std::atoi(expected)) << "the prefix's LogPixels did not take";
        }
        if (const wchar_t* folder = _wgetenv(L"DRAVIX_SCREENS"))
            m_screens = folder;
    }
    int S(int pixels) const { return fw::ScalePixels(pixels, m_dpi); }
    void Keep(HWND window, const wchar_t* name) const {
        if (m_screens.empty())
            return;
        Sleep(500); // the last paints
        EXPECT_TRUE(e2e::CaptureWindow(window, m_screens + L"\\" + name + L".bmp")) << name;
    }

    // A repair that waits for its source while its dialog is kept, then stopped.
    void KeepProgress(e2e::App& app) {
        e2e::HeldSource source(L"dravix scale held.mp4");
        HWND dialog = app.StartRepair(source);
        ASSERT_TRUE(dialog);
        HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
        ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) >= 40; }));
        Keep(dialog, L"progress");
        ASSERT_TRUE(app.StopRepair(dialog, source));
    }

    // The page now shown places its controls for the DPI, once the switch to
    // it has given it its size.
    void ExpectPageLaidOut(HWND main, int page) const {
        // Each control placed elsewhere, with where it is and where it belongs.
        const auto misplaced = [&] {
            HWND shown = GetDlgItem(main, ID_FIRST_PANE);
            if (!shown)
                return std::string("no page is current");
            RECT client{};
            GetClientRect(shown, &client);
            // A page is shown before the frame gives it its size.
            if (IsRectEmpty(&client))
                return std::string("the page has no size yet");
            std::string wrong;
            for (const auto& [id, rect] :
                 support::ExpectedLayout(page, client.right, client.bottom, m_dpi)) {
                const RECT placed = PlacedIn(shown, GetDlgItem(shown, id));
                if (!(placed == rect))
                    wrong += "control " + std::to_string(id) + " at " +
                             testing::PrintToString(placed) + ", not " +
                             testing::PrintToString(rect) + "; ";
            }
            return wrong;
        };
        e2e::WaitUntil([&] { return misplaced().empty(); });
        EXPECT_EQ(misplaced(), "");
    }

    int m_dpi = 96;
    std::wstring m_screens;
};

TEST_F(DisplayScale, WindowPagesAndPicturesFollowTheScale) {
    const e2e::Videos videos(L"dravix scale", 20000);

    e2e::App app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();
    EXPECT_EQ(SizeOf(main), (SIZE{S(840), S(520)}));
    EXPECT_EQ(SizeOf(GetDlgItem(main, ID_STATUS_BAR)).cy, S(24));

    ExpectPageLaidOut(main, 0);
    Keep(main, L"source-empty");
    if (!m_screens.empty())
        KeepProgress(app);

    // The check mark's picture sizes its button until the next layout.
    ASSERT_TRUE(app.OpenSource(videos.source.Path()));
    EXPECT_EQ(SizeOf(app.Find(IDC_ADD)), (SIZE{S(150), S(168)}));
    Keep(main, L"source");

    ASSERT_TRUE(app.Repair());
    ExpectPageLaidOut(main, 1);

    ASSERT_TRUE(app.ChooseDestination(videos.chosen));
    Keep(main, L"save");

    app.Command(ID_APP_ABOUT);
    HWND about = app.WaitForDialog(L"About Dravix Video Repair");
    ASSERT_TRUE(about);
    Keep(about, L"about");
    e2e::Click(GetDlgItem(about, IDC_ABOUT_OK));
    ASSERT_TRUE(app.WaitForClose(about));
    EXPECT_TRUE(app.Close());
}

} // namespace
