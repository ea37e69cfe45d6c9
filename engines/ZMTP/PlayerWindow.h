// The preview player's window: the video scaled to the window with its aspect
// kept, a small "End" mark over the last frame once it has played through, or
// a message that says why nothing plays.
#pragma once

#include "engines/ZMTP/Diagnosis.h"
#include "framework/Gdi.h"
#include "framework/Window.h"

#include <mfplay.h>

#include <atomic>
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

    // Hands the media player's events, which arrive on this window's thread,
    // to the window. The player keeps its reference for as long as it likes,
    // on threads of its own, so the sink lives apart from the window and is
    // cut off from it when the window closes.
    class EventSink final : public IMFPMediaPlayerCallback {
    public:
        explicit EventSink(CPlayerWindow& owner) : m_owner(&owner) {}
        void Detach() { m_owner = nullptr; }
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER* event) override;

    private:
        std::atomic<ULONG> m_refs{1};
        CPlayerWindow* m_owner; // read and cleared on the window's thread only
    };

    int OnCreate(const CREATESTRUCTW& cs);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnTimer(UINT_PTR id);
    void OnTogglePause();
    void OnClose();
    void OnDestroy();
    void OnPlayerEvent(MFP_EVENT_HEADER& event);

    void Open();
    void OnItemCreated(IMFPMediaItem* item, HRESULT result);
    void OnItemSet(HRESULT result);
    void OnFailed(HRESULT error);
    void OnEnded();
    void Restart();
    void ShowTrouble(Trouble trouble, HRESULT error);
    void ShowMessage(const std::wstring& text);
    void Layout();
    void UpdateTitle();
    void ShutdownPlayer();

    std::wstring m_strVideoPath;
    fw::ComRef<EventSink> m_sink;
    fw::ComRef<IMFPMediaPlayer> m_player;
    fw::ComRef<IMFPMediaItem> m_item; // kept to play it again without sound
    bool m_bReady = false;            // the item is set: Space may pause and resume
    bool m_bHasVideo = false;         // the item shows a picture
    bool m_bPaused = false;
    bool m_bEnded = false;        // played through; the last frame stays with the End mark
    bool m_bSoundDropped = false; // the item plays again, without its sound
    LONGLONG m_llReached = 0;     // how far playback got, in 100 ns units
    UINT m_nStillTicks = 0;       // readings in a row that found the position unchanged
    fw::WindowRef m_message;
    fw::WindowRef m_endMark;
    fw::Font m_font;
    fw::Font m_endFont;
};
