// The preview player's window: the video scaled to the window with its aspect
// kept, or a message that says why nothing plays.
#pragma once

#include "framework/Gdi.h"
#include "framework/Window.h"

#include <mfplay.h>

#include <string>

class CPlayerWindow : public fw::Mapped<CPlayerWindow, fw::Window> {
public:
    explicit CPlayerWindow(std::wstring videoPath);
    ~CPlayerWindow() override;

    // Creates the window, shows it in the given state and starts the video.
    bool Create(int showCommand);

private:
    friend Mapped;
    static const fw::MessageTable<CPlayerWindow> kMessages;

    // Hands the media player's events, which arrive on this window's thread, to the window.
    class EventSink final : public IMFPMediaPlayerCallback {
    public:
        explicit EventSink(CPlayerWindow& owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        // The sink is part of the window object, which shuts the player down
        // before it goes, so nothing is counted.
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER* event) override;

    private:
        CPlayerWindow& m_owner;
    };

    int OnCreate(const CREATESTRUCTW& cs);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnTogglePause();
    void OnClose();
    void OnDestroy();
    void OnPlayerEvent(MFP_EVENT_HEADER& event);

    void Open();
    void ShowMessage(const std::wstring& text);
    void LayoutMessage();
    void UpdateTitle();
    void ShutdownPlayer();

    std::wstring m_strVideoPath;
    EventSink m_sink{*this};
    IMFPMediaPlayer* m_pPlayer = nullptr;
    bool m_bReady = false;    // a media item is set: Space may pause and resume
    bool m_bHasVideo = false; // the item shows a picture
    bool m_bPaused = false;
    fw::WindowRef m_message;
    fw::Font m_font;
};
