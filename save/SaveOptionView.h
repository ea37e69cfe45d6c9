// Page 1 of the wizard, where the user chooses where the repaired video goes.
#pragma once

#include "controls/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/Picture.h"

#include <string>
#include <vector>

// Browse forms the output name in the destination field; Save, Back and
// Preview send the frame their commands.
class CSaveOptionView : public fw::Mapped<CSaveOptionView, fw::View> {
public:
    CSaveOptionView();

    // Creates the page's controls with their fonts, pictures and tooltips;
    // once only. Start-up leaves the page without them, as nobody sees it
    // before a repair has finished: the page switch calls this.
    void CreateControls();
    // The extension of the video being repaired, for the output name.
    void SetSourceExtension(std::wstring extension) { m_strSourceExt = std::move(extension); }
    // What Save writes to: the destination field's text.
    std::wstring Destination() const { return m_editDest.GetText(); }
    void TakeFocus() override { SetFocus(m_editDest.Handle()); }

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
    std::vector<HWND> TabOrder() const override {
        return {m_editDest.Handle(), m_btnBrowse.Handle(), m_btnBack.Handle(),
                m_btnPreview.Handle(), m_btnSave.Handle()};
    }

private:
    friend Mapped;
    void OnBnClickedBrowse();
    void OnBnClickedSave();
    void OnBnClickedBack();
    void OnBnClickedPreview();
    void PaintBackground(HDC dc);
    void OnDpiChanged(int dpi);
    void OnSize(UINT type, int cx, int cy);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    bool OnEraseBkgnd(HDC dc);

    static const fw::MessageTable<CSaveOptionView> kMessages;

    fw::Brush m_brushBackground;
    std::wstring m_strDestPath;
    CToolButton m_btnBrowse;
    CToolButton m_btnPreview;
    CToolButton m_btnSave;
    CToolButton m_btnBack;
    CCustomEdit m_editDest;
    fw::Font m_fontLabel;
    fw::Font m_fontEdit;
    fw::Picture m_background;
    fw::Control m_staticDestLabel;
    fw::Control m_staticDone;
    std::wstring m_strSourceExt;
};
