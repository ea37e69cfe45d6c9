// The program's About box: product, version and the maker's contacts.
#pragma once

#include "controls/Controls.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

#include <string>

class CAboutDlg : public fw::Mapped<CAboutDlg, fw::Dialog> {
public:
    // The web link opens homePage; the links open through the opener (null:
    // the shell).
    explicit CAboutDlg(std::wstring homePage, CLinkOpener* opener = nullptr);

protected:
    BOOL OnInitDialog() override;

private:
    friend Mapped;
    bool OnEraseBkgnd(HDC dc);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

    static const fw::MessageTable<CAboutDlg> kMessages;

    CTransparentStatic m_staticProduct;
    CTransparentStatic m_staticNotice;
    CTransparentStatic m_staticWebsiteLabel;
    CTransparentStatic m_staticSalesLabel;
    CTransparentStatic m_staticSupportLabel;
    CTransparentStatic m_staticFFmpeg;
    CStaticLink m_linkHomepage;
    CStaticLink m_linkSales;
    CStaticLink m_linkSupport;
    fw::WindowRef m_btnOK; // owner-drawn here with a white face
    std::wstring m_strHomePage;
    CLinkOpener* m_pOpener;
    fw::Bitmap m_hBackground;
    fw::Font m_pLabelFont;
};
