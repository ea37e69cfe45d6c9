// The save page: the output name that Browse forms, Back, the layout and the
// page's painting.
#include "SaveTestSupport.h"

#include "app/MainFrame.h"
#include "framework/Gdi.h"
#include "framework/Picture.h"
#include "res/resource.h"

namespace {

using savetest::SavePageTest;

class SavePage : public SavePageTest {
protected:
    std::wstring BrowseTo(std::optional<std::wstring> answer) {
        m_prompts.AnswerFile(std::move(answer));
        Click(IDC_BROWSE);
        return FieldText();
    }

    void SizeClientTo(int cx, int cy) { support::ResizeClient(*m_page, cx, cy); }

    RECT Place(int id) const { return m_page->Item(id).RectInParent(); }

    // The page rendered off screen, as its WM_PAINT would draw it.
    struct Rendering : support::Canvas {
        Rendering(fw::View& view, int cx, int cy) : Canvas(cx, cy) { view.PaintContent(Dc()); }
    };
};

void ExpectPlace(const RECT& rect, int x, int y, int width, int height) {
    EXPECT_EQ(rect.left, x);
    EXPECT_EQ(rect.top, y);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST_F(SavePage, BrowseAppendsRecoveredAndTheSourceExtensionToTheChosenPath) {
    SelectSource(L"D:\\in\\movie.mp4");
    EXPECT_EQ(BrowseTo(L"C:\\Videos\\clip"), L"C:\\Videos\\clip_(recovered).mp4");
    // An extension the user typed stays part of the name.
    EXPECT_EQ(BrowseTo(L"C:\\Videos\\clip.mp4"), L"C:\\Videos\\clip.mp4_(recovered).mp4");

    const auto records = m_prompts.Records();
    ASSERT_EQ(records.size(), 2u);
    const fw::FileChooserOptions& asked = records[0].options;
    EXPECT_TRUE(records[0].chooser);
    EXPECT_TRUE(asked.save);
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_TRUE(asked.filters.empty());
    EXPECT_EQ(asked.owner, app.MainWindow());
}

TEST_F(SavePage, OutputNameKeepsTheSourceExtensionAsItIs) {
    // No extension, no dot: in the \\?\ form a trailing dot would stay.
    SelectSource(L"D:\\in\\movie");
    EXPECT_EQ(BrowseTo(L"C:\\out\\a"), L"C:\\out\\a_(recovered)");
    EXPECT_EQ(BrowseTo(L"\\\\?\\C:\\out\\a"), L"\\\\?\\C:\\out\\a_(recovered)");

    // Read back from the field itself: an edit control with case conversion
    // would have turned the text it was given into lower case.
    SelectSource(L"D:\\IN\\MOVIE.MP4");
    EXPECT_EQ(BrowseTo(L"C:\\Out\\Clip"), L"C:\\Out\\Clip_(recovered).MP4");
    EXPECT_EQ(m_page->Item(IDC_DEST_PATH).Style() & (ES_UPPERCASE | ES_LOWERCASE), 0);
}

TEST_F(SavePage, CancelledBrowseKeepsTheEarlierPath) {
    SelectSource(L"D:\\in\\movie.mp4");
    BrowseTo(L"C:\\Videos\\clip");
    EXPECT_EQ(BrowseTo(std::nullopt), L"C:\\Videos\\clip_(recovered).mp4");
}

TEST_F(SavePage, BackShowsTheSourcePageAndANewRepairFindsTheFieldEmpty) {
    SelectSource(L"D:\\in\\movie.mp4");
    BrowseTo(L"C:\\Videos\\clip");
    Click(IDC_BACK);
    EXPECT_EQ(state.m_bSourcePageActive, 1);
    EXPECT_EQ(app.GetMainFrame()->ActiveView(), app.Page(0));
    EXPECT_FALSE(m_page->IsVisible());
    EXPECT_EQ(FieldText(), L"");

    // What a finished repair does.
    state.m_bSourcePageActive = 0;
    app.ShowPage(1);
    EXPECT_TRUE(m_page->IsVisible());
    EXPECT_EQ(FieldText(), L"");
}

TEST_F(SavePage, ControlsCarryTheirIdsTextsAndPageFonts) {
    EXPECT_EQ(app.SavePage(), m_page);
    EXPECT_EQ(m_page->Item(IDC_DEST_LABEL).GetText(),
              L"Destination directory path to save repaired Video file:");
    EXPECT_EQ(m_page->Item(IDC_REPAIR_DONE).GetText(), L"Selected video file repair is completed.");
    // The edit control takes WS_BORDER over and draws that border itself.
    EXPECT_EQ(static_cast<DWORD>(m_page->Item(IDC_DEST_PATH).Style() | WS_BORDER), 0x50810880u);
    for (int id : {IDC_BROWSE, IDC_SAVE, IDC_BACK, IDC_PREVIEW}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(m_page->Item(id).GetText(), L" ");
        EXPECT_EQ(static_cast<DWORD>(m_page->Item(id).Style()), 0x5001000Bu);
    }

    const auto fontOf = [this](int id) {
        return reinterpret_cast<HFONT>(m_page->Item(id).Send(WM_GETFONT));
    };
    EXPECT_EQ(fontOf(IDC_DEST_LABEL), fontOf(IDC_REPAIR_DONE));
    EXPECT_NE(fontOf(IDC_DEST_LABEL), fontOf(IDC_DEST_PATH)) << "two separate fonts";
    for (int id : {IDC_DEST_LABEL, IDC_DEST_PATH}) {
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(fontOf(id), sizeof font, &font));
        EXPECT_STREQ(font.lfFaceName, L"Open Sans");
        EXPECT_EQ(font.lfHeight, 16);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
    }
}

TEST_F(SavePage, LayoutAt833By444MatchesTheBackgroundPicture) {
    SizeClientTo(833, 444);
    ExpectPlace(Place(IDC_DEST_PATH), 150, 152, 457, 22);
    ExpectPlace(Place(IDC_DEST_LABEL), 150, 127, 457, 22);
    ExpectPlace(Place(IDC_REPAIR_DONE), 150, 107, 457, 22);
    ExpectPlace(Place(IDC_BROWSE), 607, 152, 70, 22);
    ExpectPlace(Place(IDC_BACK), 156, 212, 133, 60);
    ExpectPlace(Place(IDC_PREVIEW), 349, 212, 133, 60);
    ExpectPlace(Place(IDC_SAVE), 542, 212, 133, 60);

    // The picture covers the whole page, pixel for pixel.
    Rendering page(*m_page, 833, 444);
    const fw::Bitmap picture = fw::LoadBitmapResource(IDB_SAVE_BACKGROUND);
    fw::MemoryDC pictureDc(page.Dc());
    fw::SelectGuard select(pictureDc.Get(), picture.Get());
    for (POINT p : {POINT{0, 0}, POINT{832, 0}, POINT{0, 443}, POINT{832, 443}, POINT{60, 20},
                    POINT{784, 400}, POINT{416, 222}}) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(page.At(p.x, p.y), GetPixel(pictureDc.Get(), p.x, p.y));
    }
    EXPECT_NE(page.At(60, 20), RGB(255, 255, 255)) << "the wave at the top left";
}

TEST_F(SavePage, LayoutAtTheRealClientSizeKeepsEverythingOnThePage) {
    const RECT client = m_page->ClientRect();
    const RECT field = Place(IDC_DEST_PATH), browse = Place(IDC_BROWSE);
    const RECT back = Place(IDC_BACK), preview = Place(IDC_PREVIEW), save = Place(IDC_SAVE);
    for (int id : {IDC_DEST_PATH, IDC_DEST_LABEL, IDC_REPAIR_DONE, IDC_BROWSE, IDC_BACK,
                   IDC_PREVIEW, IDC_SAVE}) {
        SCOPED_TRACE(id);
        const RECT r = Place(id);
        EXPECT_GT(r.right - r.left, 0);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, client.right);
        EXPECT_LE(r.bottom, client.bottom);
    }
    EXPECT_EQ(browse.left, field.right) << "Browse starts where the field ends";
    EXPECT_EQ(browse.top, field.top);
    EXPECT_EQ(back.top, preview.top);
    EXPECT_EQ(preview.top, save.top);
    EXPECT_EQ(preview.left - back.right, 60);
    EXPECT_EQ(save.left - preview.right, 60);
    EXPECT_GT(back.top, field.bottom);
}

TEST_F(SavePage, PaintsOffScreenWithoutEraseAndMovesFocusIntoTheField) {
    // Erasing is switched off: the DC is left as it was.
    Rendering untouched(*m_page, 4, 4);
    RECT all{0, 0, 4, 4};
    fw::Brush red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(untouched.Dc(), &all, red.Get());
    EXPECT_TRUE(m_page->Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(untouched.Dc())));
    EXPECT_EQ(untouched.At(1, 1), RGB(255, 0, 0));

    SetFocus(m_page->Item(IDC_BROWSE).Handle());
    ASSERT_NE(GetFocus(), m_page->Item(IDC_DEST_PATH).Handle());
    m_page->Invalidate(false);
    UpdateWindow(m_page->Handle());
    EXPECT_EQ(GetFocus(), m_page->Item(IDC_DEST_PATH).Handle());

    // Beyond the picture the page is white, not the black of a new bitmap.
    SizeClientTo(900, 500);
    Rendering large(*m_page, 900, 500);
    EXPECT_EQ(large.At(880, 480), RGB(255, 255, 255));
    EXPECT_EQ(large.At(850, 10), RGB(255, 255, 255));
}

TEST_F(SavePage, StaticTextsAndTheReadOnlyFieldDrawStraightOntoThePage) {
    fw::WindowDC dc(m_page->Handle());
    const HWND label = m_page->Item(IDC_DEST_LABEL).Handle();
    SetBkMode(dc.Get(), OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(m_page->Send(
        WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label)));
    EXPECT_EQ(GetBkMode(dc.Get()), TRANSPARENT);
    LOGBRUSH colour{};
    GetObjectW(brush, sizeof colour, &colour);
    EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));

    // Other kinds keep the usual colours.
    SetBkMode(dc.Get(), OPAQUE);
    const auto other = reinterpret_cast<HBRUSH>(
        m_page->Send(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(m_page->Item(IDC_SAVE).Handle())));
    EXPECT_NE(other, brush);
    EXPECT_EQ(GetBkMode(dc.Get()), OPAQUE);
}

} // namespace
