// The preview player, started as a separate process the way the program starts it, and
// driven from outside through its window.
#include "support/Testing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "engines/ZMTP/resource.h"

#include <set>
#include <string>

namespace {

using support::Exists;
using support::WaitUntil;

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// Test programs sit in <build>/tests, the engines in <build>/bin.
std::wstring BuildPath(const wchar_t* relative) {
    return support::BuildFolder() + relative;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// One player process; killed on destruction if it is still running.
class Player {
public:
    Player(std::wstring commandLine, WORD showCommand) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = showCommand;
        const std::wstring program = BuildPath(L"bin\\ZMTP.exe");
        commandLine.push_back(L'\0');
        m_started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &m_process);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    ~Player() {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    bool Started() const { return m_started; }

    // The player's visible top-level window, waited for; null after the time-out.
    HWND Window() {
        WaitUntil([this] { return (m_window = Find()) != nullptr; }, kStartTimeoutMs);
        return m_window;
    }
    std::wstring Title() const { return TextOf(m_window); }
    // The message shown in the window, or an empty text while none is shown.
    std::wstring Message() const {
        HWND control = GetDlgItem(m_window, IDC_PLAYER_MESSAGE);
        return control && IsWindowVisible(control) ? TextOf(control) : std::wstring();
    }
    bool WaitForMessage(const std::wstring& part) const {
        return WaitUntil([&] { return Contains(Message(), part); }, kStartTimeoutMs);
    }
    void PressKey(WORD key) const {
        PostMessageW(m_window, WM_KEYDOWN, key, MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16 | 1);
    }
    // True when the process ends within the time-out with exit code 0.
    bool EndsCleanly() const {
        if (WaitForSingleObject(m_process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
            return false;
        DWORD code = 1;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code == 0;
    }

private:
    HWND Find() const {
        struct Search {
            DWORD processId;
            HWND found;
        } search{m_process.dwProcessId, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& search = *reinterpret_cast<Search*>(data);
                DWORD processId = 0;
                GetWindowThreadProcessId(window, &processId);
                if (processId != search.processId || !IsWindowVisible(window) ||
                    GetWindow(window, GW_OWNER))
                    return TRUE;
                search.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    BOOL m_started = FALSE;
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(BuildPath(L"bin\\ZMTP.exe"))) << "build the engines target first";
        m_folder = m_root.File(L"My Videos");
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr) || Exists(m_folder));
        m_notVideo = m_folder + L"\\notes file.mp4";
        ASSERT_TRUE(support::WriteBytes(m_notVideo, "These are notes, not a video.\r\n"));
    }

    support::ScratchFolder m_root{L"Dravix player test"};
    std::wstring m_folder, m_notVideo;
};

TEST_F(PlayerTest, TakesTheBarePathWithBlanksMaximizedAndSaysWhenItIsNotAVideo) {
    Player player(m_notVideo, SW_MAXIMIZE);
    ASSERT_TRUE(player.Started());
    HWND window = player.Window();
    ASSERT_NE(window, nullptr) << "no player window";
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(player.Title(), L"notes file.mp4 - Dravix Video Repair Player");
    EXPECT_TRUE(player.WaitForMessage(L"cannot be played")) << "shown: " << player.Message();
    EXPECT_TRUE(Contains(player.Message(), m_notVideo)) << "shown: " << player.Message();

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(player.EndsCleanly());
}

TEST_F(PlayerTest, OpensInTheGivenShowStateAndNamesAMissingOrAbsentVideo) {
    const std::wstring missing = m_folder + L"\\gone away.mp4";
    {
        Player player(missing, SW_SHOWNORMAL);
        HWND window = player.Window();
        ASSERT_NE(window, nullptr) << "no player window";
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_TRUE(player.WaitForMessage(L"cannot be found")) << "shown: " << player.Message();
        EXPECT_TRUE(Contains(player.Message(), missing)) << "shown: " << player.Message();
        player.PressKey(VK_ESCAPE);
        EXPECT_TRUE(player.EndsCleanly());
    }
    Player player(L"", SW_SHOWNORMAL);
    ASSERT_NE(player.Window(), nullptr) << "no player window";
    EXPECT_EQ(player.Title(), L"Dravix Video Repair Player");
    EXPECT_TRUE(player.WaitForMessage(L"No video to play.")) << "shown: " << player.Message();
    player.PressKey(VK_ESCAPE);
    EXPECT_TRUE(player.EndsCleanly());
}

TEST_F(PlayerTest, UnderstandsACommandLineWithItsOwnNameFirst) {
    const std::wstring program = BuildPath(L"bin\\ZMTP.exe");
    for (const std::wstring& line :
         {L"\"" + program + L"\" \"" + m_notVideo + L"\"", L"ZMTP.exe " + m_notVideo}) {
        SCOPED_TRACE(testing::Message() << "command line: " << testing::PrintToString(line));
        Player player(line, SW_SHOWNORMAL);
        HWND window = player.Window();
        ASSERT_NE(window, nullptr) << "no player window";
        EXPECT_EQ(player.Title(), L"notes file.mp4 - Dravix Video Repair Player");
        EXPECT_TRUE(player.WaitForMessage(m_notVideo)) << "shown: " << player.Message();
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(player.EndsCleanly());
    }
}

// Counts the distinct colours on a coarse grid over the window's client area, as the screen
// shows it.
size_t ColoursShown(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (int y = 1; y < 16; ++y)
        for (int x = 1; x < 16; ++x)
            colours.insert(GetPixel(screen, client.left + (client.right - client.left) * x / 16,
                                    client.top + (client.bottom - client.top) * y / 16));
    ReleaseDC(nullptr, screen);
    return colours.size();
}

TEST_F(PlayerTest, PlaysARealVideoAndPausesAndResumesOnSpace) {
    const std::wstring source = BuildPath(L"testdata\\clip.mp4");
    if (!Exists(source))
        GTEST_SKIP() << "no test video at " << testing::PrintToString(source)
                     << " (made at build time with ffmpeg)";
    const std::wstring clip = m_folder + L"\\clip.mp4";
    ASSERT_TRUE(CopyFileW(source.c_str(), clip.c_str(), FALSE));

    Player player(clip, SW_MAXIMIZE);
    HWND window = player.Window();
    ASSERT_NE(window, nullptr) << "no player window";
    EXPECT_TRUE(IsZoomed(window));
    ASSERT_TRUE(WaitUntil([&] { return ColoursShown(window) > 5; }, 30000))
        << "the test picture does not show; message " << testing::PrintToString(player.Message());
    EXPECT_EQ(player.Message(), L"");

    // Once the short clip has ended, Space starts it again instead: press until it pauses.
    const bool paused = WaitUntil(
        [&] {
            player.PressKey(VK_SPACE);
            return WaitUntil([&] { return Contains(player.Title(), L"(paused)"); }, 1000);
        },
        30000);
    ASSERT_TRUE(paused) << "never paused; title " << testing::PrintToString(player.Title())
                        << ", message " << testing::PrintToString(player.Message());
    EXPECT_EQ(player.Title(), L"clip.mp4 (paused) - Dravix Video Repair Player");

    player.PressKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return !Contains(player.Title(), L"(paused)"); }, 5000))
        << "did not resume";
    player.PressKey(VK_ESCAPE);
    EXPECT_TRUE(player.EndsCleanly());
}

} // namespace
