// The preview player, started as a separate process the way the program starts it, and
// driven from outside through its window: every kind of file the open dialog offers and
// the damage users bring, each played to its end or to its message, then closed.
#include "support/E2E.h"

#include <windows.h>
#include <mmdeviceapi.h>

#include <gtest/gtest.h>

#include "engines/ZMTP/resource.h"

#include <set>
#include <string>
#include <vector>

namespace {

using support::Exists;
using support::WaitUntil;

constexpr wchar_t kPlayerClass[] = L"DravixPreviewPlayer";
// Generous: a clip plays for 2 s, but a busy machine is slow to start Wine's media parts.
constexpr DWORD kOutcomeTimeoutMs = 60000;

std::wstring PlayerPath() {
    return e2e::BinFolder() + L"\\ZMTP.exe";
}

// The clips that make-clips.sh made at test time.
std::wstring ClipFolder() {
    return support::BuildFolder() + L"testdata\\player\\";
}

// The message shown in the window, or an empty text while none is shown.
std::wstring MessageOf(HWND window) {
    HWND control = GetDlgItem(window, IDC_PLAYER_MESSAGE);
    return control && IsWindowVisible(control) ? e2e::Text(control) : std::wstring();
}

bool EndShown(HWND window) {
    HWND mark = GetDlgItem(window, IDC_PLAYER_END);
    return mark && IsWindowVisible(mark);
}

// Whether the window shows a picture: a black window or a message has few colours,
// the test picture many.
bool PictureShown(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    fw::WindowDC screen(nullptr);
    std::set<COLORREF> colours;
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 8; ++x)
            colours.insert(GetPixel(screen.Get(),
                                    client.left + (client.right - client.left) * x / 8,
                                    client.top + (client.bottom - client.top) * y / 8));
    return colours.size() > 5;
}

// A key as the window's accelerators see it.
void PressKey(HWND window, WORD key) {
    PostMessageW(window, WM_KEYDOWN, key, MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16 | 1);
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// The player started as `how` says, its window waited for (null, and a test
// failure, when none came).
struct Started {
    e2e::App app{PlayerPath()};
    HWND window = nullptr;
    Started(const e2e::StartAs& how) {
        if (app.Launch(how))
            window = app.WaitForWindow([](HWND w) { return e2e::ClassOf(w) == kPlayerClass; },
                                       L"the player's window on " + how.commandLine);
    }
    // Closes the window; the process ends within the bound with exit code 0.
    void ExpectClosesCleanly() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ExpectEndsCleanly();
    }
    // The process ends within the bound with exit code 0.
    void ExpectEndsCleanly() {
        ASSERT_TRUE(app.WaitForExit());
        EXPECT_EQ(app.ExitCode(), 0u);
    }
};

// What one run of the player on a clip showed, and how it ended.
struct PlayerRun {
    bool window = false;
    bool picture = false;
    bool ended = false; // the End mark showed
    std::wstring message;
    std::wstring title;
    ULONGLONG closeMs = 0;
    DWORD exitCode = STILL_ACTIVE;
    std::wstring windows; // the process's windows, when the outcome did not come
};

// Plays a clip, started as the program starts the player, until the End mark or a
// message shows, then closes it. It reports; the test judges.
PlayerRun Play(const std::wstring& clip) {
    PlayerRun run;
    Started started({.commandLine = clip, .showCommand = SW_MAXIMIZE});
    e2e::App& player = started.app;
    const HWND window = started.window;
    run.window = window != nullptr;
    if (!run.window)
        return run;
    const bool outcome = WaitUntil(
        [&] {
            run.picture = run.picture || PictureShown(window);
            run.ended = EndShown(window);
            run.message = MessageOf(window);
            return run.ended || !run.message.empty();
        },
        kOutcomeTimeoutMs);
    if (!outcome)
        run.windows = player.Describe();
    run.title = e2e::Text(window);
    const ULONGLONG closing = GetTickCount64();
    PostMessageW(window, WM_CLOSE, 0, 0);
    player.WaitForExit();
    run.closeMs = GetTickCount64() - closing;
    run.exitCode = player.ExitCode();
    return run;
}

enum class Damage { None, NotAVideo, Cut, ZeroIndex, FlipBytes };

struct Clip {
    const wchar_t* name;
    const wchar_t* source; // the clip this one is made from
    Damage damage;
    bool sound;
    const wchar_t* shows; // kPlays, or a part of the message
};
constexpr const wchar_t* kPlays = L"";
constexpr const wchar_t* kDamaged = L"It is damaged, or it is not a video.";
constexpr const wchar_t* kNotSupported = L"not supported on this computer";
constexpr const wchar_t* kNoPicture = L"no picture that can be shown";
constexpr const wchar_t* kStopped = L"The video stopped at 0:0";
// Played to where the file breaks off, then says so; with sound, Wine's clock may run on
// to the length the file declares, and the end looks normal.
constexpr const wchar_t* kStoppedOrPlays = L"The video stopped at 0:0 (or plays)";

const Clip kClips[] = {
    {L"clip.mp4", nullptr, Damage::None, true, kPlays},
    {L"clip.mov", nullptr, Damage::None, true, kPlays},
    // Wine 8 has no media source for a transport stream, GStreamer's demuxer or not.
    {L"clip.ts", nullptr, Damage::None, true, kNotSupported},
    {L"clip.3gp", nullptr, Damage::None, true, kPlays},
    {L"clip.m4v", nullptr, Damage::None, true, kPlays},
    {L"clip.flv", nullptr, Damage::None, true, kPlays},
    {L"clip.3g2", nullptr, Damage::None, true, kPlays},
    {L"clip.avi", nullptr, Damage::None, true, kPlays},
    {L"clip.mkv", nullptr, Damage::None, true, kPlays},
    {L"clip.mpg", nullptr, Damage::None, true, kPlays},
    {L"clip.mpeg", nullptr, Damage::None, true, kPlays},
    {L"clip.divx", nullptr, Damage::None, true, kPlays},
    {L"clip.webm", nullptr, Damage::None, true, kPlays},
    {L"clip.asf", nullptr, Damage::None, true, kPlays},
    {L"clip.wmv", nullptr, Damage::None, true, kPlays},
    {L"silent.mp4", nullptr, Damage::None, false, kPlays},
    {L"sound.mp4", nullptr, Damage::None, true, kNoPicture},
    {L"notes file.mp4", nullptr, Damage::NotAVideo, false, kDamaged},
    {L"cut.avi", L"clip.avi", Damage::Cut, true, kPlays},
    {L"cut.mkv", L"clip.mkv", Damage::Cut, true, kStoppedOrPlays},
    {L"no index.mp4", L"clip.mp4", Damage::ZeroIndex, true, kDamaged},
    {L"flipped.mp4", L"clip.mp4", Damage::FlipBytes, true, kStoppedOrPlays},
};

// The bytes of `bytes` with the damage done.
std::string Damaged(std::string bytes, Damage damage) {
    switch (damage) {
    case Damage::Cut: // as a copy that was broken off: the first 55 %
        bytes.resize(bytes.size() * 55 / 100);
        break;
    case Damage::ZeroIndex: // the top-level "moov" box, header and all
        for (size_t at = 0; at + 8 <= bytes.size();) {
            const auto byte = [&](size_t i) {
                return static_cast<size_t>(static_cast<unsigned char>(bytes[at + i]));
            };
            const size_t size = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
            if (size < 8)
                break;
            if (bytes.compare(at + 4, 4, "moov") == 0)
                std::fill_n(bytes.begin() + at, std::min(size, bytes.size() - at), '\0');
            at += size;
        }
        break;
    case Damage::FlipBytes: // 1 % of the bytes of the middle third, among the pictures
        for (size_t at = bytes.size() / 3; at < bytes.size() * 2 / 3; at += 100)
            bytes[at] = static_cast<char>(~bytes[at]);
        break;
    default:
        break;
    }
    return bytes;
}

// Whether this machine, as it is, has a sound device to play to.
bool MachineHasSound() {
    // The apartment and the enumerator are kept to the end of the test program:
    // once asked, Wine's sound driver runs a thread of its own, and nothing here
    // needs to unload the code it runs while it may still run.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    static IMMDeviceEnumerator* devices = nullptr;
    fw::ComRef<IMMDevice> device;
    return (devices || SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                                  IID_PPV_ARGS(&devices)))) &&
           SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Put()));
}

class PlayerClipsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new support::ScratchFolder(L"Dravix player clips");
        s_videos = s_folder->File(L"My Videos") + L"\\";
        CreateDirectoryW(s_videos.c_str(), nullptr);
        for (const Clip& clip : kClips) {
            const std::string source =
                clip.damage == Damage::NotAVideo
                    ? std::string("These are notes, not a video.\r\n")
                    : support::ReadBytes(ClipFolder() + (clip.source ? clip.source : clip.name));
            if (!source.empty())
                support::WriteBytes(s_videos + clip.name, Damaged(source, clip.damage));
        }
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override {
        if (!Exists(ClipFolder() + L"clip.mp4"))
            GTEST_SKIP() << "no clips in " << testing::PrintToString(ClipFolder())
                         << " (made by tests/engines/make-clips.sh, which needs ffmpeg)";
    }

    // Plays every clip in turn, as a user previews one video at a time (Wine's media
    // parts have been seen to hang when two players start together), and checks each:
    // a picture to its end or the message expected, and a close that ends the player
    // with exit code 0. The player bounds its own shutdown (1.5 s); how long the
    // close took is shown, not judged, as a busy machine takes longer.
    // `soundDevice` tells whether the players have a sound device.
    void PlayAll(bool soundDevice) {
        std::vector<PlayerRun> runs;
        for (const Clip& clip : kClips)
            runs.push_back(Play(s_videos + clip.name));

        for (size_t i = 0; i < std::size(kClips); ++i) {
            const Clip& clip = kClips[i];
            const PlayerRun& run = runs[i];
            SCOPED_TRACE(testing::Message() << testing::PrintToString(clip.name) << ", title "
                                            << testing::PrintToString(run.title) << ", message "
                                            << testing::PrintToString(run.message) << "; "
                                            << testing::PrintToString(run.windows));
            ASSERT_TRUE(run.window) << "no player window";
            if (clip.shows == kStoppedOrPlays && run.ended) {
                EXPECT_TRUE(run.picture && run.message.empty());
            } else if (clip.shows == kStoppedOrPlays) {
                EXPECT_TRUE(Contains(run.message, kStopped)) << "expected " << kStopped;
            } else if (clip.shows == kPlays) {
                EXPECT_TRUE(run.ended && run.picture && run.message.empty())
                    << "did not play to its end: picture " << run.picture;
            } else {
                EXPECT_TRUE(Contains(run.message, clip.shows)) << "expected " << clip.shows;
                EXPECT_TRUE(Contains(run.message, s_videos + clip.name));
            }
            if (run.picture) {
                EXPECT_EQ(Contains(run.title, L"(without sound)"), clip.sound && !soundDevice);
            }
            EXPECT_EQ(run.exitCode, 0u) << "closed in " << run.closeMs << " ms";
        }
    }

    static support::ScratchFolder* s_folder;
    static std::wstring s_videos;
};
support::ScratchFolder* PlayerClipsTest::s_folder = nullptr;
std::wstring PlayerClipsTest::s_videos;

// Runs once as the machine is, and once more (ctest's engines_null_sound) with a null
// sound device: ALSA's settings from a private HOME, which Wine's sound driver reads
// from the Unix side of the process and which only the starter of the first Wine
// process can set.
TEST_F(PlayerClipsTest, PlaysOrExplainsEveryClipAndClosesQuickly) {
    const bool sound = MachineHasSound();
    if (GetEnvironmentVariableW(L"DRAVIX_NULL_SOUND", nullptr, 0)) {
        ASSERT_TRUE(sound) << "the null sound device did not take";
    }
    PlayAll(sound);
}

// The program's own way of starting the player: the bare path with blanks as the whole
// command line, maximized; and the messages for a missing or absent video.
TEST(PlayerTest, OpensInTheGivenShowStateAndNamesAMissingOrAbsentVideo) {
    support::ScratchFolder folder(L"Dravix player test");
    const std::wstring missing = folder.File(L"gone away.mp4");
    {
        Started player({.commandLine = missing, .showCommand = SW_MAXIMIZE});
        ASSERT_NE(player.window, nullptr);
        EXPECT_TRUE(IsZoomed(player.window));
        EXPECT_EQ(e2e::Text(player.window), L"gone away.mp4 - Dravix Video Repair Player");
        EXPECT_TRUE(WaitUntil([&] {
            return Contains(MessageOf(player.window), L"cannot be found");
        })) << "shown: "
            << testing::PrintToString(MessageOf(player.window));
        EXPECT_TRUE(Contains(MessageOf(player.window), missing));
        PressKey(player.window, VK_ESCAPE);
        player.ExpectEndsCleanly();
    }
    Started player({.commandLine = L"", .showCommand = SW_SHOWNORMAL});
    ASSERT_NE(player.window, nullptr);
    EXPECT_FALSE(IsZoomed(player.window));
    EXPECT_EQ(e2e::Text(player.window), L"Dravix Video Repair Player");
    EXPECT_TRUE(
        WaitUntil([&] { return Contains(MessageOf(player.window), L"No video to play."); }));
    player.ExpectClosesCleanly();
}

TEST(PlayerTest, UnderstandsACommandLineWithItsOwnNameFirst) {
    support::ScratchFolder folder(L"Dravix player test");
    const std::wstring notes = folder.File(L"notes file.mp4");
    ASSERT_TRUE(support::WriteBytes(notes, "These are notes, not a video.\r\n"));
    for (const std::wstring& line :
         {L"\"" + PlayerPath() + L"\" \"" + notes + L"\"", L"ZMTP.exe " + notes}) {
        SCOPED_TRACE(testing::Message() << "command line: " << testing::PrintToString(line));
        Started player({.commandLine = line});
        ASSERT_NE(player.window, nullptr);
        EXPECT_EQ(e2e::Text(player.window), L"notes file.mp4 - Dravix Video Repair Player");
        EXPECT_TRUE(WaitUntil([&] { return Contains(MessageOf(player.window), notes); }));
        player.ExpectClosesCleanly();
    }
}

TEST(PlayerTest, PausesAndResumesOnSpace) {
    // Long enough to be playing still when Space comes: at the end, Space
    // starts the video again instead.
    const std::wstring clip = ClipFolder() + L"long.mp4";
    if (!Exists(clip))
        GTEST_SKIP() << "no clip at " << testing::PrintToString(clip);
    Started player({.commandLine = clip, .showCommand = SW_SHOWNORMAL});
    ASSERT_NE(player.window, nullptr);
    const auto title = [&] { return e2e::Text(player.window); };
    ASSERT_TRUE(WaitUntil([&] { return PictureShown(player.window); }, kOutcomeTimeoutMs))
        << "never played";
    PressKey(player.window, VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return Contains(title(), L"(paused)"); }, kOutcomeTimeoutMs))
        << "never paused; title " << testing::PrintToString(title());
    EXPECT_EQ(title(), L"long.mp4 (paused) - Dravix Video Repair Player");
    PressKey(player.window, VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return !Contains(title(), L"(paused)"); })) << "did not resume";
    player.ExpectClosesCleanly();
}

} // namespace
