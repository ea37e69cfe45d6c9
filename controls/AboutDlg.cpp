#include "controls/AboutDlg.h"

#include "framework/Accessible.h"
#include "framework/Picture.h"
#include "res/resource.h"

// clang-format off
const fw::MessageTable<CAboutDlg> CAboutDlg::kMessages = {
    fw::msg::EraseBkgnd<&CAboutDlg::OnEraseBkgnd>(),
    fw::msg::Raw<WM_DRAWITEM, &CAboutDlg::OnDrawItem>(),
    fw::msg::Command<IDC_ABOUT_OK, &CAboutDlg::OnOK, CAboutDlg>(),
};
// clang-format on

CAboutDlg::CAboutDlg(std::wstring homePage, CLinkOpener* opener)
    : Mapped(IDD_ABOUTBOX), m_strHomePage(std::move(homePage)), m_pOpener(opener) {}

BOOL CAboutDlg::OnInitDialog() {
    m_hBackground = fw::LoadPicture(IDB_ABOUT_BACKGROUND, Dpi());
    m_btnOK = Item(IDC_ABOUT_OK);
    m_pLabelFont.Reset(CreateFontW(Scaled(14), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH, L"Open Sans"));
    m_linkHomepage.AttachItem(m_hWnd, IDC_HOMEPAGE_LINK);
    m_linkHomepage.m_link = m_strHomePage;
    // The mail links write to the address they show.
    m_linkSales.AttachItem(m_hWnd, IDC_SALES_LINK);
    m_linkSales.m_link = L"mailto:" + m_linkSales.GetText();
    m_linkSupport.AttachItem(m_hWnd, IDC_SUPPORT_LINK);
    m_linkSupport.m_link = L"mailto:" + m_linkSupport.GetText();
    for (CStaticLink* link : {&m_linkHomepage, &m_linkSales, &m_linkSupport}) {
        link->m_pOpener = m_pOpener;
        fw::SetAccessible(
            link->Handle(),
            {.role = ROLE_SYSTEM_LINK, .defaultAction = L"Jump", .value = link->m_link});
    }

    m_staticWebsiteLabel.AttachItem(m_hWnd, IDC_WEBSITE_LABEL);
    m_staticSalesLabel.AttachItem(m_hWnd, IDC_SALES_LABEL);
    m_staticSupportLabel.AttachItem(m_hWnd, IDC_SUPPORT_LABEL);
    m_staticProduct.AttachItem(m_hWnd, IDC_PRODUCT);
    m_staticNotice.AttachItem(m_hWnd, IDC_NOTICE);
    m_staticFFmpeg.AttachItem(m_hWnd, IDC_FFMPEG_NOTE);
    for (const CTransparentStatic* text :
         {&m_staticProduct, &m_staticNotice, &m_staticWebsiteLabel, &m_staticSalesLabel,
          &m_staticSupportLabel, &m_staticFFmpeg})
        fw::SetAccessible(text->Handle(), {.role = ROLE_SYSTEM_STATICTEXT});
    fw::SetAccessible(m_btnOK.Handle(),
                      {.role = ROLE_SYSTEM_PUSHBUTTON, .defaultAction = L"Press"});

    for (int id : {IDC_WEBSITE_LABEL, IDC_HOMEPAGE_LINK, IDC_SALES_LABEL, IDC_SALES_LINK,
                   IDC_SUPPORT_LABEL, IDC_SUPPORT_LINK, IDC_FFMPEG_NOTE})
        Item(id).SetFont(m_pLabelFont.Get());

    CenterOnOwner();
    // The links come before OK in the order of Tab, but OK keeps the first focus.
    SetFocus(m_btnOK.Handle());
    return FALSE;
}

bool CAboutDlg::OnEraseBkgnd(HDC dc) {
    fw::MemoryDC memory(dc);
    HGDIOBJ old =
        m_hBackground && memory ? SelectObject(memory.Get(), m_hBackground.Get()) : nullptr;
    if (!old)
        return Default() != 0;
    const SIZE size = fw::BitmapSize(m_hBackground.Get());
    BitBlt(dc, 0, 0, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
    // With most dialog fonts the client area comes out wider than the
    // picture. Its last column, the end of the wave over white, carries on
    // to the right edge so that the wave does not stop short.
    const RECT client = ClientRect();
    if (client.right > size.cx)
        StretchBlt(dc, size.cx, 0, client.right - size.cx, size.cy, memory.Get(), size.cx - 1, 0, 1,
                   size.cy, SRCCOPY);
    // Below the picture, should the dialog come out taller, the box is white.
    if (client.bottom > size.cy) {
        const RECT below{0, size.cy, client.right, client.bottom};
        FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    SelectObject(memory.Get(), old);
    return true;
}

LRESULT CAboutDlg::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.hwndItem != m_btnOK.Handle())
        return Default();
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    fw::Brush border(CreateSolidBrush(focused ? RGB(29, 117, 189) : RGB(173, 173, 173)));
    fw::Brush fill(CreateSolidBrush(pressed ? RGB(229, 241, 251) : RGB(255, 255, 255)));
    FillRect(dc, &face, fill.Get());
    FrameRect(dc, &face, border.Get());

    RECT text = face;
    if (pressed)
        OffsetRect(&text, Scaled(1), Scaled(1));
    HFONT font = reinterpret_cast<HFONT>(m_btnOK.Send(WM_GETFONT));
    fw::SelectGuard select(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const std::wstring caption = m_btnOK.GetText();
    DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&face, -Scaled(3), -Scaled(3));
        DrawFocusRect(dc, &face);
    }
    return TRUE;
}
