#include "engines/ZMTP/PlayerWindow.h"

#include "engines/ZMTP/MediaPlayer.h"
#include "engines/ZMTP/resource.h"
#include "framework/Files.h"

#include <algorithm>

namespace {

constexpr wchar_t kClassName[] = L"DravixPreviewPlayer";
constexpr wchar_t kPlayerName[] = L"Dravix Video Repair Player";
constexpr int kMessageMargin = 32;
constexpr int kEndMargin = 16;
constexpr UINT kMessageFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

// How far playback has got is read this often; the last reading tells where
// a damaged video stopped.
constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionIntervalMs = 200;
// Playback that ends further than this before the video's length stopped at damage.
constexpr LONGLONG kEndTolerance = 10'000'000; // 1 s in 100 ns units
// Playback whose position stands still this long has stopped.
constexpr UINT kStuckAfterMs = 3000;
// Longer than this, the platform's shutdown is taken to hang.
constexpr DWORD kShutdownTimeoutMs = 1500;

// Wine 8's media session cannot resume a paused presentation: Play() is
// accepted, but nothing moves and the session carries out no later command,
// not even Stop(). Nor can it seek. There the video starts again instead.
bool CanResumeFromPause() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return !wine;
}

HFONT MessageFont(int percent) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = font.lfHeight * percent / 100;
    return CreateFontIndirectW(&font);
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text, int width, UINT format) {
    RECT bounds = {0, 0, width, 0};
    fw::WindowDC dc(window);
    fw::SelectGuard select(dc.Get(), font);
    DrawTextW(dc.Get(), text.c_str(), -1, &bounds, format | DT_CALCRECT);
    return {bounds.right, bounds.bottom};
}

} // namespace

const fw::MessageTable<CPlayerWindow> CPlayerWindow::kMessages = {
    fw::msg::Create<&CPlayerWindow::OnCreate>(),
    fw::msg::Size<&CPlayerWindow::OnSize>(),
    fw::msg::Paint<&CPlayerWindow::OnPaint>(),
    fw::msg::EraseBkgnd<&CPlayerWindow::OnEraseBkgnd>(),
    fw::msg::CtlColor<&CPlayerWindow::OnCtlColor>(),
    fw::msg::Timer<&CPlayerWindow::OnTimer>(),
    fw::msg::Command<ID_PLAYER_PAUSE, &CPlayerWindow::OnTogglePause>(),
    fw::msg::Command<ID_PLAYER_CLOSE, &CPlayerWindow::OnClose>(),
    fw::msg::Close<&CPlayerWindow::OnClose>(),
    fw::msg::Destroy<&CPlayerWindow::OnDestroy>(),
};

CPlayerWindow::CPlayerWindow(std::wstring videoPath) : m_strVideoPath(std::move(videoPath)) {}

CPlayerWindow::~CPlayerWindow() {
    ShutdownPlayer();
}

bool CPlayerWindow::Create(int showCommand) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const wchar_t* className =
        RegisterClassOnce(kClassName, 0, LoadIconW(instance, MAKEINTRESOURCEW(IDR_PLAYER)),
                          static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (!Window::Create({.rect = {0, 0, 960, 600},
                         .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         .className = className}))
        return false;
    UpdateTitle();
    CenterOnScreen();
    ShowWindow(m_hWnd, showCommand);
    UpdateWindow(m_hWnd);
    Open();
    return true;
}

int CPlayerWindow::OnCreate(const CREATESTRUCTW&) {
    m_font.Reset(MessageFont(150));
    m_endFont.Reset(MessageFont(100));
    constexpr DWORD kStyle = WS_CHILD | SS_CENTER | SS_NOPREFIX | SS_EDITCONTROL;
    m_message = CreateWindowExW(0, L"STATIC", L"", kStyle, 0, 0, 0, 0, m_hWnd,
                                reinterpret_cast<HMENU>(IDC_PLAYER_MESSAGE),
                                GetModuleHandleW(nullptr), nullptr);
    m_endMark = CreateWindowExW(0, L"STATIC", L"End", kStyle | SS_CENTERIMAGE, 0, 0, 0, 0, m_hWnd,
                                reinterpret_cast<HMENU>(IDC_PLAYER_END), GetModuleHandleW(nullptr),
                                nullptr);
    if (!m_message || !m_endMark)
        return -1;
    m_message.SetFont(m_font.Get());
    m_endMark.SetFont(m_endFont.Get());
    return 0;
}

void CPlayerWindow::Open() {
    if (m_strVideoPath.empty()) {
        ShowMessage(L"No video to play.\n\nStart the player with the path of a video file.");
        return;
    }
    if (GetFileAttributesW(m_strVideoPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ShowMessage(L"The video cannot be found:\n" + m_strVideoPath);
        return;
    }
    m_sink.Reset(new EventSink(*this));
    HRESULT hr = CreateMediaPlayer(m_sink.Get(), m_hWnd, m_player.Put());
    if (SUCCEEDED(hr))
        hr = m_player.Get()->CreateMediaItemFromURL(m_strVideoPath.c_str(), FALSE, 0, nullptr);
    if (FAILED(hr))
        ShowTrouble(Trouble::NotSupported, hr);
}

HRESULT CPlayerWindow::EventSink::QueryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IMFPMediaPlayerCallback)) {
        *object = static_cast<IMFPMediaPlayerCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CPlayerWindow::EventSink::AddRef() {
    return ++m_refs;
}

ULONG CPlayerWindow::EventSink::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

void CPlayerWindow::EventSink::OnMediaPlayerEvent(MFP_EVENT_HEADER* event) {
    try {
        if (event && m_owner)
            m_owner->OnPlayerEvent(*event);
    } catch (...) {
        // Nothing may be thrown back into the media player.
    }
}

void CPlayerWindow::OnPlayerEvent(MFP_EVENT_HEADER& event) {
    if (!m_player)
        return;
    switch (event.eEventType) {
    case MFP_EVENT_TYPE_MEDIAITEM_CREATED:
        OnItemCreated(MFP_GET_MEDIAITEM_CREATED_EVENT(&event)->pMediaItem, event.hrEvent);
        break;
    case MFP_EVENT_TYPE_MEDIAITEM_SET:
        OnItemSet(event.hrEvent);
        break;
    case MFP_EVENT_TYPE_PLAY:
    case MFP_EVENT_TYPE_PAUSE:
        if (FAILED(event.hrEvent)) {
            OnFailed(event.hrEvent);
            break;
        }
        m_bPaused = event.eEventType == MFP_EVENT_TYPE_PAUSE;
        UpdateTitle();
        break;
    case MFP_EVENT_TYPE_ERROR:
        OnFailed(event.hrEvent);
        break;
    case MFP_EVENT_TYPE_PLAYBACK_ENDED:
        OnEnded();
        break;
    default:
        break;
    }
}

void CPlayerWindow::OnItemCreated(IMFPMediaItem* item, HRESULT result) {
    if (FAILED(result) || !item) {
        ShowTrouble(LooksLikeIntactVideo(m_strVideoPath) ? Trouble::NotSupported
                                                         : Trouble::CannotOpen,
                    FAILED(result) ? result : E_POINTER);
        return;
    }
    item->AddRef();
    m_item.Reset(item);
    if (!HasPicture(*item)) {
        ShowTrouble(Trouble::NoPicture, S_OK);
        return;
    }
    if (const HRESULT hr = m_player.Get()->SetMediaItem(item); FAILED(hr))
        OnFailed(hr);
}

void CPlayerWindow::OnItemSet(HRESULT result) {
    if (FAILED(result)) {
        OnFailed(result);
        return;
    }
    m_bHasVideo = true;
    m_bReady = true;
    m_player.Get()->SetAspectRatioMode(MFVideoARMode_PreservePicture);
    m_player.Get()->Play();
    SetTimer(m_hWnd, kPositionTimer, kPositionIntervalMs, nullptr);
    Invalidate();
}

// Something failed on the way to the picture or while it played.
void CPlayerWindow::OnFailed(HRESULT error) {
    if (!m_bReady && !m_bSoundDropped && m_item && HasSound(*m_item.Get())) {
        // Without a sound device, or with a sound track that cannot be decoded,
        // the whole item fails: the picture is played without the sound.
        m_bSoundDropped = true;
        if (!KeepPictureOnly(*m_item.Get())) {
            ShowTrouble(Trouble::NoPicture, error);
            return;
        }
        error = m_player.Get()->SetMediaItem(m_item.Get());
        if (SUCCEEDED(error)) {
            UpdateTitle();
            return;
        }
    }
    if (m_llReached > 0) {
        ShowTrouble(Trouble::Stopped, error);
        return;
    }
    ShowTrouble(LooksLikeIntactVideo(m_strVideoPath) ? Trouble::NotSupported : Trouble::CannotOpen,
                error);
}

void CPlayerWindow::OnTimer(UINT_PTR id) {
    if (id != kPositionTimer || !m_player || !m_bReady || m_bPaused || m_bEnded)
        return;
    const LONGLONG position = PositionOf(*m_player.Get());
    // With sound, Wine's clock runs on past the end when a damaged picture
    // never reports its own: the video has ended all the same.
    const LONGLONG duration = DurationOf(*m_player.Get());
    if (duration > 0 && position > duration + kEndTolerance) {
        OnEnded();
        return;
    }
    // A clock that stands still while playing means the platform got stuck at damage.
    m_nStillTicks = position == m_llReached && position > 0 ? m_nStillTicks + 1 : 0;
    if (m_nStillTicks * kPositionIntervalMs >= kStuckAfterMs)
        OnEnded();
    else if (position > m_llReached)
        m_llReached = position;
    // Wine's session does not report the end of a video with sound: its clock
    // only goes back to the start.
    else if (position == 0 && m_llReached > 0)
        OnEnded();
}

void CPlayerWindow::OnEnded() {
    if (!m_player || m_bEnded)
        return;
    KillTimer(m_hWnd, kPositionTimer);
    const LONGLONG duration = DurationOf(*m_player.Get());
    if (duration > 0 && m_llReached + kEndTolerance < duration) {
        ShowTrouble(Trouble::Stopped, S_OK);
        return;
    }
    m_bEnded = true;
    Layout();
    m_endMark.Show(SW_SHOW);
}

void CPlayerWindow::Restart() {
    m_bEnded = false;
    m_llReached = 0;
    m_nStillTicks = 0;
    m_endMark.Show(SW_HIDE);
    m_player.Get()->Stop();
    m_player.Get()->Play();
    SetTimer(m_hWnd, kPositionTimer, kPositionIntervalMs, nullptr);
}

void CPlayerWindow::OnTogglePause() {
    if (!m_player || !m_bReady)
        return;
    if (m_bEnded) {
        Restart();
        return;
    }
    MFP_MEDIAPLAYER_STATE state = MFP_MEDIAPLAYER_STATE_EMPTY;
    m_player.Get()->GetState(&state);
    if (state == MFP_MEDIAPLAYER_STATE_PLAYING)
        m_player.Get()->Pause();
    else if (state == MFP_MEDIAPLAYER_STATE_PAUSED && !CanResumeFromPause())
        Restart();
    else
        m_player.Get()->Play();
}

void CPlayerWindow::OnSize(UINT, int, int) {
    if (m_player && m_bHasVideo)
        m_player.Get()->UpdateVideo();
    Layout();
}

void CPlayerWindow::OnPaint() {
    fw::PaintDC dc(m_hWnd);
    if (m_player && m_bHasVideo)
        m_player.Get()->UpdateVideo();
    else
        FillRect(dc.Get(), &dc.Info().rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

bool CPlayerWindow::OnEraseBkgnd(HDC) {
    return true; // OnPaint covers the whole client area
}

HBRUSH CPlayerWindow::OnCtlColor(HDC dc, HWND, UINT) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void CPlayerWindow::OnClose() {
    // Gone for the user at once, however long the platform takes to let go.
    Show(SW_HIDE);
    // With a video loaded, the process ends here, without taking the media
    // player down: on a busy machine Wine's media threads have faulted while
    // it shut down (destroying the window under it crashed as well). The
    // player keeps nothing that could be lost; it ends as a normal close would.
    if (m_player)
        TerminateProcess(GetCurrentProcess(), 0);
    Destroy();
}

void CPlayerWindow::OnDestroy() {
    ShutdownPlayer();
    PostQuitMessage(0);
}

void CPlayerWindow::ShowTrouble(Trouble trouble, HRESULT error) {
    KillTimer(m_hWnd, kPositionTimer);
    const LONGLONG duration = m_player ? DurationOf(*m_player.Get()) : 0;
    ShowMessage(TroubleText(trouble, m_strVideoPath, error, m_llReached, duration));
}

void CPlayerWindow::ShowMessage(const std::wstring& text) {
    m_bReady = false;
    m_bHasVideo = false;
    m_endMark.Show(SW_HIDE);
    m_message.SetText(text);
    Layout();
    m_message.Show(SW_SHOW);
    Invalidate();
}

// Centres the message's lines in the client area; the End mark sits in the
// bottom right corner.
void CPlayerWindow::Layout() {
    if (!m_message)
        return;
    const RECT client = ClientRect();
    const int width = std::max(0, static_cast<int>(client.right) - 2 * kMessageMargin);
    const SIZE text =
        TextSize(m_message.Handle(), m_font.Get(), m_message.GetText(), width, kMessageFormat);
    const int height = std::min(static_cast<int>(text.cy), static_cast<int>(client.bottom));
    m_message.MoveTo(kMessageMargin, (client.bottom - height) / 2, width, height);

    const SIZE end = TextSize(m_endMark.Handle(), m_endFont.Get(), L"End", 0, DT_SINGLELINE);
    const int endWidth = end.cx + end.cy, endHeight = end.cy * 3 / 2;
    m_endMark.MoveTo(client.right - kEndMargin - endWidth, client.bottom - kEndMargin - endHeight,
                     endWidth, endHeight);
}

void CPlayerWindow::UpdateTitle() {
    std::wstring title = kPlayerName;
    if (!m_strVideoPath.empty())
        title = fw::FileNameOf(m_strVideoPath) + (m_bSoundDropped ? L" (without sound)" : L"") +
                (m_bPaused ? L" (paused)" : L"") + L" - " + title;
    SetText(title);
}

void CPlayerWindow::ShutdownPlayer() {
    m_bReady = false;
    m_bHasVideo = false;
    KillTimer(m_hWnd, kPositionTimer);
    m_item.Reset();
    // Events still on their way find no window.
    if (m_sink)
        m_sink.Get()->Detach();
    if (!m_player)
        return;
    if (!ShutDownWithin(m_player.Release(), kShutdownTimeoutMs))
        // The platform hangs in its shutdown (Wine's video renderer deadlocks
        // at the end of some videos). The player keeps nothing that could be
        // lost: it ends as a normal close would.
        TerminateProcess(GetCurrentProcess(), 0);
}
