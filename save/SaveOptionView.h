// The save workflow: page 1, where the user chooses where the repaired video
// goes; the save job that writes it; and the preview player's start.
#pragma once

#include "controls/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/Job.h"

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

    void OnBnClickedBrowse();
    void OnBnClickedSave();
    void OnBnClickedBack();
    void OnBnClickedPreview();

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

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
    void PaintBackground(HDC dc);
    void OnDpiChanged(int dpi);
    std::vector<HWND> TabOrder() const override {
        return {m_editDest.Handle(), m_btnBrowse.Handle(), m_btnBack.Handle(),
                m_btnPreview.Handle(), m_btnSave.Handle()};
    }

private:
    friend Mapped;
    void OnSize(UINT type, int cx, int cy);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    bool OnEraseBkgnd(HDC dc);

    static const fw::MessageTable<CSaveOptionView> kMessages;

    std::wstring m_strSourceExt;
};

struct SaveInputs {
    std::wstring source;
    std::wstring destination;
    // Engines that must be present, looked at in this order.
    std::vector<std::wstring> engines;
};

// Checks the engines, then copies the source to the destination, replacing a
// file there only once the copy is whole; reports 40 and 100. Fails with the
// path of the first missing engine (ERROR_FILE_NOT_FOUND), with the source
// when it cannot be opened or read, or with the destination and the reason
// the copy failed; a file there is then left as it was, and nothing else
// either.
fw::JobOutcome SaveJob(const SaveInputs& inputs, fw::Progress& progress, const fw::StopToken& stop);
// The attributes a saved copy takes from its source: read-only, hidden,
// system and archive, nothing else.
DWORD CopiedAttributes(DWORD source);

// Starts the player with the source path as its whole command line,
// maximized, as a normal user where the system can make such a token; its
// process, or none with the system's error code.
fw::UniqueHandle StartPlayer(const std::wstring& player, const std::wstring& source, DWORD* error);
