#include "repair/SourceView.h"

#include "framework/Accessible.h"
#include "framework/Application.h"
#include "framework/Prompts.h"
#include "res/resource.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTextBlue = RGB(24, 71, 102);

// The chooser's one filter. Every video pattern is a "*.ext" wildcard.
constexpr wchar_t kVideoFilterName[] = L"Video Files ";
constexpr wchar_t kVideoPatterns[] =
    L"*.MP4;*.MOV;*.TS;*.3GP;*.mp4;*.mov;*.ts;*.3gp;*.m4v;*.flv;*.3g2;*.avi;*.AVI;*.mkv;*.MKV;"
    L"*.mpg;*.mpeg;*.MPG;*.MPEG;*.DIVX;*.divx;*.webm;*.WEBM;*.asf;*.ASF;*.wmv;*.WMV;";

const std::wstring kAddTip = L"Please add corrupted video file to repair.";
const std::wstring kRepairTip = L"Start the Repair process.";

// Posted by the page to itself as it is made, so that it comes once the
// first paint is done.
constexpr UINT kMakeTooltips = WM_APP + 1;

constexpr UINT kPictures[] = {IDB_ADD_NORMAL, IDB_ADD_HOVER, IDB_REPAIR_NORMAL, IDB_REPAIR_HOVER,
                              IDB_SOURCE_BACKGROUND};
} // namespace

std::optional<std::wstring> ChooseSourceVideo(HWND owner) {
    fw::FileChooserOptions options;
    options.owner = owner;
    options.filters = {{kVideoFilterName, kVideoPatterns}};
    // The chooser may return a name that does not exist; the Add-file
    // command tells the user so in its own words.
    options.fileMustExist = false;
    return fw::ChooseFile(options);
}

// clang-format off
const fw::MessageTable<CDravix_Video_RecoveryView> CDravix_Video_RecoveryView::kMessages = {
    fw::msg::Create<&CDravix_Video_RecoveryView::OnCreate>(),
    fw::msg::ContextMenu<&CDravix_Video_RecoveryView::OnContextMenu>(),
    fw::msg::Mouse<WM_RBUTTONUP, &CDravix_Video_RecoveryView::OnRButtonUp>(),
    fw::msg::Raw<WM_KEYUP, &CDravix_Video_RecoveryView::OnMenuKey>(),
    fw::msg::Raw<WM_SYSKEYDOWN, &CDravix_Video_RecoveryView::OnMenuKey>(),
    fw::msg::Size<&CDravix_Video_RecoveryView::OnSize>(),
    fw::msg::CtlColor<&CDravix_Video_RecoveryView::OnCtlColor>(),
    fw::msg::Command<IDC_ADD, &CDravix_Video_RecoveryView::OnBnClickedAdd>(),
    fw::msg::Command<IDC_REPAIR, &CDravix_Video_RecoveryView::OnBnClickedRepair>(),
    fw::msg::DpiChanged<&CDravix_Video_RecoveryView::OnDpiChanged>(),
    fw::msg::Raw<kMakeTooltips, &CDravix_Video_RecoveryView::OnMakeTooltips>(),
};
// clang-format on

CDravix_Video_RecoveryView::CDravix_Video_RecoveryView(fw::PicturePrefetch* pictures)
    : m_brushBackground(CreateSolidBrush(kWhite)), m_background(IDB_SOURCE_BACKGROUND, pictures),
      m_pPictures(pictures) {}

fw::Font CDravix_Video_RecoveryView::MakeFont() const {
    return fw::Font(CreateFontW(Scaled(14), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                0, 0, 0, 0, L"Open Sans"));
}

int CDravix_Video_RecoveryView::OnCreate(const CREATESTRUCTW&) {
    if (Default() == -1)
        return -1;

    m_font = MakeFont();

    m_staticPath.Create({.parent = m_hWnd,
                         .id = IDC_SOURCE_PATH,
                         .style = WS_CHILD | WS_VISIBLE | SS_LEFT,
                         .text = L"Please add corrput video file to repair.",
                         .className = WC_STATICW});
    m_staticPath.SetFont(m_font.Get(), true);
    m_staticPath.Show(SW_SHOW);
    fw::SetAccessible(m_staticPath.Handle(), {.role = ROLE_SYSTEM_STATICTEXT});

    m_btnAdd.Create({.parent = m_hWnd,
                     .id = IDC_ADD,
                     .rect = {100, 100, 200, 200},
                     .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW});
    m_btnAdd.SetBitmaps(IDB_ADD_NORMAL, IDB_ADD_HOVER, m_pPictures);
    m_btnAdd.SetAccessibleName(L"Add video", kAddTip);

    m_btnRepair.Create({.parent = m_hWnd,
                        .id = IDC_REPAIR,
                        .style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW});
    m_btnRepair.SetBitmaps(IDB_REPAIR_NORMAL, IDB_REPAIR_HOVER, m_pPictures);
    m_btnRepair.SetAccessibleName(L"Repair", kRepairTip);

    // A tip shows only once the pointer has rested on a button, while making
    // the tooltips would hold the first paint up: they come right after it.
    PostMessageW(m_hWnd, kMakeTooltips, 0, 0);
    return 0;
}

LRESULT CDravix_Video_RecoveryView::OnMakeTooltips(WPARAM, LPARAM) {
    m_btnAdd.SetTooltipText(&kAddTip);
    m_btnRepair.SetTooltipText(&kRepairTip);
    fw::MarkStartupStep("tips");
    return 0;
}

std::span<const UINT> CDravix_Video_RecoveryView::Pictures() {
    return kPictures;
}

void CDravix_Video_RecoveryView::OnSize(UINT, int cx, int cy) {
    Default();
    if (!m_btnAdd)
        return;
    const int a = cx / 11;
    const int b = cy / 6;
    // Nothing is clamped: a short page gives the text line a negative height.
    m_btnAdd.MoveTo(a + Scaled(40), b + Scaled(20), Scaled(150), Scaled(150));
    m_staticPath.MoveTo(a + Scaled(24), b + Scaled(190), a + Scaled(330), b - Scaled(50));
    m_btnRepair.MoveTo(Scaled(125), Scaled(295), Scaled(130), Scaled(37));
}

void CDravix_Video_RecoveryView::OnDpiChanged(int) {
    if (!m_btnAdd)
        return;
    fw::Font font = MakeFont();
    m_staticPath.SetFont(font.Get(), true);
    m_font = std::move(font);
    LayOut();
}

HBRUSH CDravix_Video_RecoveryView::OnCtlColor(HDC dc, HWND, UINT kind) {
    if (kind != CTLCOLOR_STATIC)
        return reinterpret_cast<HBRUSH>(Default());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextBlue);
    return m_brushBackground.Get();
}

void CDravix_Video_RecoveryView::OnContextMenu(HWND, POINT screen) {
    // The context-menu key reports (-1, -1): the menu then opens at the
    // page's corner rather than at the corner of the screen.
    if (screen.x == -1 && screen.y == -1) {
        screen = {0, 0};
        ClientToScreen(m_hWnd, &screen);
    }
    ShowEditMenu(screen);
}

LRESULT CDravix_Video_RecoveryView::OnMenuKey(WPARAM key, LPARAM) {
    // The context-menu key (on its release) and Shift+F10 ask for the menu as
    // a right click does; the system does not always make that request itself.
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool apps = CurrentMessage() == WM_KEYUP && key == VK_APPS;
    const bool shiftF10 = CurrentMessage() == WM_SYSKEYDOWN && key == VK_F10 && shift;
    if (!apps && !shiftF10)
        return Default();
    OnContextMenu(m_hWnd, {-1, -1});
    return 0;
}

void CDravix_Video_RecoveryView::OnRButtonUp(UINT, POINT client) {
    ClientToScreen(m_hWnd, &client);
    ShowEditMenu(client);
}

void CDravix_Video_RecoveryView::ShowEditMenu(POINT screen) {
    const fw::Menu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUP_EDIT)));
    if (!menu)
        return;
    // Its commands come to this page, which has nothing to do for them.
    TrackPopupMenu(GetSubMenu(menu.Get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y,
                   0, m_hWnd, nullptr);
}

void CDravix_Video_RecoveryView::OnBnClickedAdd() {
    SendCommand(ID_FILE_OPEN);
}

void CDravix_Video_RecoveryView::OnBnClickedRepair() {
    SendCommand(ID_FILE_REPAIR);
}

void CDravix_Video_RecoveryView::ShowSourceFile(const std::wstring& path) {
    // The check mark stands for both states; the button keeps its taller
    // size until the next layout.
    m_btnAdd.SetBitmaps(IDB_ADD_DONE, IDB_ADD_DONE);
    m_staticPath.SetText(L"");
    m_staticPath.SetText(path);
}

void CDravix_Video_RecoveryView::OnDraw(HDC dc) {
    const RECT client = ClientRect();
    fw::OffscreenDC offscreen(dc, client.right - client.left, client.bottom - client.top);
    DrawBackground(offscreen.Get(), client);
}

void CDravix_Video_RecoveryView::DrawBackground(HDC dc, const RECT& client) {
    // A page larger than the picture is white beyond it.
    FillRect(dc, &client, m_brushBackground.Get());
    m_background.Draw(dc, Dpi(), client.left, client.top, client.right - client.left,
                      client.bottom - client.top);
}
