#include "engines/ZMTP/PlayerWindow.h"

#include "engines/ZMTP/resource.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr wchar_t kClassName[] = L"DravixPreviewPlayer";
constexpr wchar_t kPlayerName[] = L"Dravix Video Repair Player";
constexpr int kMessageMargin = 32;
constexpr UINT kMessageFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

// Wine 8's media session cannot resume a paused presentation: Play() is
// accepted, but nothing moves and the session carries out no later command,
// not even Stop(). Nor can it seek. There the video starts again instead.
bool CanResumeFromPause() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return !wine;
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring CannotPlayMessage(const std::wstring& path, HRESULT error) {
    wchar_t code[32];
    std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(error));
    return L"This file cannot be played:\n" + path +
           L"\n\nIt is not a video that this computer can play, or it is damaged (error " + code +
           L").";
}

} // namespace

const fw::MessageTable<CPlayerWindow> CPlayerWindow::kMessages = {
    fw::msg::Create<&CPlayerWindow::OnCreate>(),
    fw::msg::Size<&CPlayerWindow::OnSize>(),
    fw::msg::Paint<&CPlayerWindow::OnPaint>(),
    fw::msg::EraseBkgnd<&CPlayerWindow::OnEraseBkgnd>(),
    fw::msg::CtlColor<&CPlayerWindow::OnCtlColor>(),
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
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = font.lfHeight * 3 / 2;
    m_font.Reset(CreateFontIndirectW(&font));
    m_message = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | SS_CENTER | SS_NOPREFIX | SS_EDITCONTROL, 0, 0, 0, 0, m_hWnd,
        reinterpret_cast<HMENU>(IDC_PLAYER_MESSAGE), GetModuleHandleW(nullptr), nullptr);
    if (!m_message)
        return -1;
    m_message.SetFont(m_font.Get());
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
    HRESULT hr = MFPCreateMediaPlayer(nullptr, FALSE, 0, &m_sink, m_hWnd, &m_pPlayer);
    if (SUCCEEDED(hr))
        hr = m_pPlayer->CreateMediaItemFromURL(m_strVideoPath.c_str(), FALSE, 0, nullptr);
    if (FAILED(hr))
        ShowMessage(CannotPlayMessage(m_strVideoPath, hr));
}

HRESULT CPlayerWindow::EventSink::QueryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IMFPMediaPlayerCallback)) {
        *object = static_cast<IMFPMediaPlayerCallback*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

void CPlayerWindow::EventSink::OnMediaPlayerEvent(MFP_EVENT_HEADER* event) {
    try {
        if (event)
            m_owner.OnPlayerEvent(*event);
    } catch (...) {
        // Nothing may be thrown back into the media player.
    }
}

void CPlayerWindow::OnPlayerEvent(MFP_EVENT_HEADER& event) {
    if (!m_pPlayer)
        return;
    if (FAILED(event.hrEvent)) {
        switch (event.eEventType) {
        case MFP_EVENT_TYPE_MEDIAITEM_CREATED:
        case MFP_EVENT_TYPE_MEDIAITEM_SET:
        case MFP_EVENT_TYPE_PLAY:
        case MFP_EVENT_TYPE_ERROR:
            ShowMessage(CannotPlayMessage(m_strVideoPath, event.hrEvent));
            break;
        default:
            break;
        }
        return;
    }
    switch (event.eEventType) {
    case MFP_EVENT_TYPE_MEDIAITEM_CREATED:
        if (const HRESULT hr =
                m_pPlayer->SetMediaItem(MFP_GET_MEDIAITEM_CREATED_EVENT(&event)->pMediaItem);
            FAILED(hr))
            ShowMessage(CannotPlayMessage(m_strVideoPath, hr));
        break;
    case MFP_EVENT_TYPE_MEDIAITEM_SET: {
        BOOL hasVideo = FALSE, selected = FALSE;
        MFP_GET_MEDIAITEM_SET_EVENT(&event)->pMediaItem->HasVideo(&hasVideo, &selected);
        m_bHasVideo = hasVideo && selected;
        if (m_bHasVideo)
            m_pPlayer->SetAspectRatioMode(MFVideoARMode_PreservePicture);
        m_bReady = true;
        m_pPlayer->Play();
        Invalidate();
        break;
    }
    case MFP_EVENT_TYPE_PLAY:
    case MFP_EVENT_TYPE_PAUSE:
        m_bPaused = event.eEventType == MFP_EVENT_TYPE_PAUSE;
        UpdateTitle();
        break;
    default:
        break;
    }
}

void CPlayerWindow::OnTogglePause() {
    if (!m_pPlayer || !m_bReady)
        return;
    MFP_MEDIAPLAYER_STATE state = MFP_MEDIAPLAYER_STATE_EMPTY;
    m_pPlayer->GetState(&state);
    if (state == MFP_MEDIAPLAYER_STATE_PLAYING) {
        m_pPlayer->Pause();
    } else if (state == MFP_MEDIAPLAYER_STATE_PAUSED && !CanResumeFromPause()) {
        m_pPlayer->Stop();
        m_pPlayer->Play();
    } else {
        m_pPlayer->Play();
    }
}

void CPlayerWindow::OnSize(UINT, int, int) {
    if (m_pPlayer && m_bHasVideo)
        m_pPlayer->UpdateVideo();
    LayoutMessage();
}

void CPlayerWindow::OnPaint() {
    fw::PaintDC dc(m_hWnd);
    if (m_pPlayer && m_bHasVideo)
        m_pPlayer->UpdateVideo();
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
    // The player first: destroying the window under a running player crashed.
    ShutdownPlayer();
    Destroy();
}

void CPlayerWindow::OnDestroy() {
    ShutdownPlayer();
    PostQuitMessage(0);
}

void CPlayerWindow::ShowMessage(const std::wstring& text) {
    m_bReady = false;
    m_bHasVideo = false;
    m_message.SetText(text);
    LayoutMessage();
    m_message.Show(SW_SHOW);
    Invalidate();
}

// Centres the message's lines in the client area.
void CPlayerWindow::LayoutMessage() {
    if (!m_message)
        return;
    const RECT client = ClientRect();
    const int width = std::max(0, static_cast<int>(client.right) - 2 * kMessageMargin);
    const std::wstring text = m_message.GetText();
    RECT bounds = {0, 0, width, 0};
    {
        fw::WindowDC dc(m_message.Handle());
        fw::SelectGuard font(dc.Get(), m_font.Get());
        DrawTextW(dc.Get(), text.c_str(), -1, &bounds, kMessageFormat | DT_CALCRECT);
    }
    const int height = std::min(static_cast<int>(bounds.bottom), static_cast<int>(client.bottom));
    m_message.MoveTo(kMessageMargin, (client.bottom - height) / 2, width, height);
}

void CPlayerWindow::UpdateTitle() {
    std::wstring title = kPlayerName;
    if (!m_strVideoPath.empty())
        title = FileName(m_strVideoPath) + (m_bPaused ? L" (paused) - " : L" - ") + title;
    SetText(title);
}

void CPlayerWindow::ShutdownPlayer() {
    m_bReady = false;
    m_bHasVideo = false;
    if (!m_pPlayer)
        return;
    m_pPlayer->Shutdown();
    m_pPlayer->Release();
    m_pPlayer = nullptr;
}
