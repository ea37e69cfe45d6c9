// Page 1: choosing where the repaired video goes, saving and previewing it.
#pragma once

#include "controls/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"

#include <string>

class CSaveOptionView : public fw::View {
public:
    CSaveOptionView();

    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Save: refuses an empty destination, runs SaveJob under the progress
    // dialog and reports the outcome once the dialog has closed.
    void OnBnClickedSave();
    // Runs on the progress dialog's worker thread: checks the save engines and
    // copies the selected source to the destination field's path.
    void SaveJob();

    void OnBnClickedBrowse();
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
    fw::Control m_staticDestLabel;
    fw::Control m_staticDone;
    // Outcome of the last save copy, nonzero when the file was written, and
    // the system's error code when it was not. Written by the worker, read
    // after the progress dialog has closed.
    int m_bSaved = 0;
    DWORD m_dwSaveError = ERROR_SUCCESS;

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
    void PaintBackground(HDC dc);

private:
    int OnCreate(const CREATESTRUCTW& cs);
    void OnSize(UINT type, int cx, int cy);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    bool OnEraseBkgnd(HDC dc);
    // Copies source to destination, replacing a file there; the error code on failure.
    static DWORD CopyToDestination(const std::wstring& source, const std::wstring& destination);

    static const fw::MessageEntry<CSaveOptionView> kMessages[];
};
