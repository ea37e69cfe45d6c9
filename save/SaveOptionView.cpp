#include "save/SaveOptionView.h"

#include "framework/Accessible.h"
#include "framework/Files.h"
#include "framework/Prompts.h"
#include "res/resource.h"

#include <algorithm>

namespace {
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE;
// Read-only, bordered, scrolling sideways. No case conversion: an edit
// control converts even the text the program sets, which would rename the
// user's output file.
constexpr DWORD kFieldStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

const std::wstring kBrowseTip = L"Please select destination path to save the repaired video file.";
const std::wstring kSaveTip = L"Save the repaired video file.";
const std::wstring kBackTip = L"Back to previous wizard.";
const std::wstring kPreviewTip = L"Preview the repaired video file.";

fw::Font MakePageFont(int dpi) {
    return fw::Font(CreateFontW(fw::ScalePixels(16, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH, L"Open Sans"));
}

void CreateImageButton(CToolButton& button, HWND parent, int id, UINT normal, UINT hover,
                       const std::wstring& tip, const wchar_t* name) {
    button.Create(
        {.parent = parent, .id = id, .style = kButtonStyle, .text = L" ", .className = L"BUTTON"});
    button.SetBitmaps(normal, hover);
    button.SetTooltipText(&tip);
    button.SetAccessibleName(name, tip);
}
} // namespace

// clang-format off
const fw::MessageTable<CSaveOptionView> CSaveOptionView::kMessages = {
    fw::msg::Size<&CSaveOptionView::OnSize>(),
    fw::msg::CtlColor<&CSaveOptionView::OnCtlColor>(),
    fw::msg::Command<IDC_BROWSE, &CSaveOptionView::OnBnClickedBrowse>(),
    fw::msg::Command<IDC_SAVE, &CSaveOptionView::OnBnClickedSave>(),
    fw::msg::Command<IDC_BACK, &CSaveOptionView::OnBnClickedBack>(),
    fw::msg::Command<IDC_PREVIEW, &CSaveOptionView::OnBnClickedPreview>(),
    fw::msg::EraseBkgnd<&CSaveOptionView::OnEraseBkgnd>(),
    fw::msg::DpiChanged<&CSaveOptionView::OnDpiChanged>(),
};
// clang-format on

CSaveOptionView::CSaveOptionView()
    : m_brushBackground(CreateSolidBrush(RGB(255, 255, 255))), m_background(IDB_SAVE_BACKGROUND) {}

void CSaveOptionView::CreateControls() {
    if (m_editDest.Handle())
        return;
    m_staticDestLabel.Create({.parent = m_hWnd,
                              .id = IDC_DEST_LABEL,
                              .style = kLabelStyle,
                              .text = L"Destination directory path to save repaired Video file:",
                              .className = L"STATIC"});
    m_fontLabel = MakePageFont(Dpi());
    m_staticDestLabel.SetFont(m_fontLabel.Get());

    m_staticDone.Create({.parent = m_hWnd,
                         .id = IDC_REPAIR_DONE,
                         .style = kLabelStyle,
                         .text = L"Selected video file repair is completed.",
                         .className = L"STATIC"});
    m_staticDone.SetFont(m_fontLabel.Get());

    m_editDest.Create(
        {.parent = m_hWnd, .id = IDC_DEST_PATH, .style = kFieldStyle, .className = L"EDIT"});
    m_fontEdit = MakePageFont(Dpi());
    m_editDest.SetFont(m_fontEdit.Get());
    m_editDest.SetText(m_strDestPath);

    CreateImageButton(m_btnBrowse, m_hWnd, IDC_BROWSE, IDB_BROWSE_NORMAL, IDB_BROWSE_HOVER,
                      kBrowseTip, L"Browse");
    CreateImageButton(m_btnSave, m_hWnd, IDC_SAVE, IDB_SAVE_NORMAL, IDB_SAVE_HOVER, kSaveTip,
                      L"Save");
    CreateImageButton(m_btnBack, m_hWnd, IDC_BACK, IDB_BACK_NORMAL, IDB_BACK_HOVER, kBackTip,
                      L"Back");
    CreateImageButton(m_btnPreview, m_hWnd, IDC_PREVIEW, IDB_PREVIEW_NORMAL, IDB_PREVIEW_HOVER,
                      kPreviewTip, L"Preview");
    // The field is named by the label above it.
    fw::SetAccessible(m_editDest.Handle(),
                      {.role = ROLE_SYSTEM_TEXT, .nameFrom = m_staticDestLabel.Handle()});
    for (const fw::Control* label : {&m_staticDestLabel, &m_staticDone})
        fw::SetAccessible(label->Handle(), {.role = ROLE_SYSTEM_STATICTEXT});
    // Laid out at once, should the page already have its size.
    LayOut();
}

void CSaveOptionView::OnSize(UINT, int cx, int cy) {
    Default();
    const int left = cx / 2 - cx / 5 - Scaled(100);
    const int right = cx - cx / 5 - Scaled(60);
    const int top = cy / 2 - Scaled(70);
    const int width = right - left;
    const int line = Scaled(22);
    if (IsWindow(m_editDest.Handle())) {
        m_editDest.MoveTo(left, top, width, line);
        m_staticDestLabel.MoveTo(left, top - Scaled(25), width, line);
        m_staticDone.MoveTo(left, top - Scaled(45), width, line);
        m_btnBrowse.MoveTo(right, top, Scaled(70), line);
    }
    if (IsWindow(m_btnBack.Handle())) {
        const int row = cy / 2 - Scaled(10);
        const int buttonWidth = Scaled(133), buttonHeight = Scaled(60);
        m_btnBack.MoveTo(cx / 2 - Scaled(260), row, buttonWidth, buttonHeight);
        m_btnPreview.MoveTo(cx / 2 - Scaled(67), row, buttonWidth, buttonHeight);
        m_btnSave.MoveTo(cx / 2 + Scaled(126), row, buttonWidth, buttonHeight);
    }
}

void CSaveOptionView::OnDpiChanged(int dpi) {
    // Controls not made yet are made at the new scale when the page is first shown.
    if (!m_editDest.Handle())
        return;
    // The controls take the new fonts before the old ones go.
    fw::Font label = MakePageFont(dpi);
    fw::Font edit = MakePageFont(dpi);
    m_staticDestLabel.SetFont(label.Get());
    m_staticDone.SetFont(label.Get());
    m_editDest.SetFont(edit.Get());
    m_fontLabel = std::move(label);
    m_fontEdit = std::move(edit);
    LayOut();
}

HBRUSH CSaveOptionView::OnCtlColor(HDC dc, HWND, UINT kind) {
    const auto brush = reinterpret_cast<HBRUSH>(Default());
    // The labels and the read-only field: their text goes straight onto the page.
    if (kind == CTLCOLOR_STATIC) {
        SetBkMode(dc, TRANSPARENT);
        return m_brushBackground.Get();
    }
    return brush;
}

bool CSaveOptionView::OnEraseBkgnd(HDC) {
    return true; // OnDraw covers every pixel, off screen
}

void CSaveOptionView::OnDraw(HDC dc) {
    const RECT client = ClientRect();
    {
        fw::OffscreenDC offscreen(dc, client.right, client.bottom);
        // A page larger than the picture is white beyond it.
        FillRect(offscreen.Get(), &client, m_brushBackground.Get());
        PaintBackground(offscreen.Get());
    }
    SetFocus(m_editDest.Handle());
}

void CSaveOptionView::PaintBackground(HDC dc) {
    const RECT client = ClientRect();
    // Natural size, never stretched; nothing is drawn beyond the picture.
    m_background.Draw(dc, Dpi(), client.left, client.top, client.right, client.bottom);
}

void CSaveOptionView::OnBnClickedBrowse() {
    fw::FileChooserOptions options;
    options.owner = GetAncestor(m_hWnd, GA_ROOT);
    options.save = true;
    options.overwritePrompt = true;
    const auto chosen = fw::ChooseFile(options);
    if (!chosen)
        return;
    m_strDestPath = fw::WithExtension(*chosen + L"_(recovered)", m_strSourceExt);
    m_editDest.SetText(m_strDestPath);
}

void CSaveOptionView::OnBnClickedSave() {
    SendCommand(ID_FILE_SAVE_OUTPUT);
}

void CSaveOptionView::OnBnClickedBack() {
    SendCommand(ID_PAGE_BACK);
    // Only the field: the member keeps the last chosen path.
    m_editDest.SetText(L"");
}

void CSaveOptionView::OnBnClickedPreview() {
    SendCommand(ID_PAGE_PREVIEW);
}
