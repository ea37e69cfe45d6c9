// Page 0: choosing the damaged video and starting the repair.
#pragma once

#include "controls/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/Picture.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Asks for the damaged video with the open chooser and its video filter; the
// chosen path, or nothing when the user cancelled.
std::optional<std::wstring> ChooseSourceVideo(HWND owner);

// Its buttons send the frame's Open and Repair commands.
class CDravix_Video_RecoveryView : public fw::Mapped<CDravix_Video_RecoveryView, fw::View> {
public:
    // The first paint takes its pictures from `pictures`, when given.
    explicit CDravix_Video_RecoveryView(fw::PicturePrefetch* pictures = nullptr);

    // Shows a chosen file: the check mark on the Add button, the path in the text line.
    void ShowSourceFile(const std::wstring& path);
    // The pictures of the page's first paint, in the order it takes them.
    static std::span<const UINT> Pictures();

protected:
    DWORD PreCreateStyle(DWORD style) override { return style | WS_VISIBLE; }
    void OnDraw(HDC dc) override;
    std::vector<HWND> TabOrder() const override {
        return {m_btnAdd.Handle(), m_btnRepair.Handle()};
    }

private:
    friend Mapped;
    int OnCreate(const CREATESTRUCTW& cs);
    void OnContextMenu(HWND window, POINT screen);
    void OnRButtonUp(UINT keys, POINT client);
    LRESULT OnMenuKey(WPARAM key, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnBnClickedAdd();
    void OnBnClickedRepair();
    void ShowEditMenu(POINT screen);
    void DrawBackground(HDC dc, const RECT& client);
    void OnDpiChanged(int dpi);
    LRESULT OnMakeTooltips(WPARAM, LPARAM);
    fw::Font MakeFont() const;

    static const fw::MessageTable<CDravix_Video_RecoveryView> kMessages;

    fw::Brush m_brushBackground;
    fw::Control m_staticPath;
    CToolButton m_btnAdd;
    CToolButton m_btnRepair;
    fw::Font m_font;
    fw::Picture m_background;
    fw::PicturePrefetch* m_pPictures;
};
