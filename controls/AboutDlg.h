// The program's About box: product, version and the maker's contacts.
#pragma once

#include "controls/Controls.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

class CAboutDlg : public fw::Dialog {
public:
    CAboutDlg();
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    BOOL OnInitDialog() override;

private:
    bool OnEraseBkgnd(HDC dc);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

    static const fw::MessageEntry<CAboutDlg> kMessages[];

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
    fw::Bitmap m_hBackground;
    fw::Font m_pLabelFont;
};
