// Preview: the player beside the program gets the source path as its whole
// command line, starts maximized, and the program waits for it.
#include "SaveTestSupport.h"

#include "repair/Engines.h"
#include "res/resource.h"

#include <chrono>
#include <thread>
#include <map>
#include <sstream>

namespace {

using savetest::SavePageTest;
using support::EngineFile;

constexpr DWORD kProbeMilliseconds = 800;

class Preview : public SavePageTest {
protected:
    void SetUp() override {
        SavePageTest::SetUp();
        const std::wstring probe = support::ProgramFolder() + L"probe\\ProbePlayer.exe";
        ASSERT_TRUE(CopyFileW(probe.c_str(), EngineFile(L"ZMTP.exe").c_str(), FALSE))
            << "the probe player is built beside the tests";
        m_report = Scratch(L"probe.txt");
        SetEnvironmentVariableW(L"DRAVIX_PROBE_OUT", m_report.c_str());
        SetEnvironmentVariableW(L"DRAVIX_PROBE_WAIT_MS",
                                std::to_wstring(kProbeMilliseconds).c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"DRAVIX_PROBE_OUT", nullptr);
        SetEnvironmentVariableW(L"DRAVIX_PROBE_WAIT_MS", nullptr);
        support::RemoveEngine(L"ZMTP.exe");
        SavePageTest::TearDown();
    }

    // Runs Preview and returns how long it kept the program waiting.
    double RunPreview() {
        DeleteFileW(m_report.c_str());
        support::Watchdog watchdog("the preview player", 30000);
        const auto start = std::chrono::steady_clock::now();
        Click(IDC_PREVIEW);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    }

    // The probe's report as key -> value.
    std::map<std::string, std::string> Report() const {
        std::map<std::string, std::string> values;
        std::istringstream lines(support::ReadBytes(m_report));
        for (std::string line; std::getline(lines, line);) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos)
                values[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return values;
    }

    static std::string Utf8(const std::wstring& text) {
        std::string result;
        for (wchar_t c : text)
            result += static_cast<char>(c); // the test paths are ASCII
        return result;
    }

    std::wstring m_report;
};

TEST_F(Preview, PassesTheTrimmedSourcePathAsTheWholeCommandLineAndStartsMaximized) {
    const std::wstring folder = Scratch(L"My Videos");
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring source = folder + L"\\clip one.mp4";
    support::WriteBytes(source, "video");
    SelectSource(L"  " + source + L" \t");

    const double waited = RunPreview();
    auto report = Report();
    EXPECT_EQ(report["commandline"], Utf8(source)) << "no quotes, no program name, trimmed";
    EXPECT_TRUE(std::stoul(report["flags"]) & STARTF_USESHOWWINDOW);
    EXPECT_EQ(report["show"], std::to_string(SW_MAXIMIZE));
    EXPECT_EQ(report["zoomed"], "1")
        << "its window came up maximized; cmdshow " << report["cmdshow"];
    EXPECT_EQ(report["ended"], "1") << "the program waited until the player ended";
    EXPECT_GE(waited, kProbeMilliseconds - 50);
    std::printf("[ measure  ] Preview blocked for %.0f ms (player ran %lu ms)\n", waited,
                kProbeMilliseconds);

    // Again, and again: nothing is left over from the previous run.
    for (int run = 0; run < 2; ++run) {
        RunPreview();
        report = Report();
        EXPECT_EQ(report["commandline"], Utf8(source));
        EXPECT_EQ(report["ended"], "1");
    }
}

TEST_F(Preview, PlaysTheSourceEvenAfterASave) {
    support::PlaceEngine(L"ZMTS.exe");
    support::PlaceEngine(L"ZMTD.exe");
    const std::wstring source = Scratch(L"movie.mp4");
    support::WriteBytes(source, "video");
    SelectSource(source);
    const std::wstring saved = Scratch(L"copy_(recovered).mp4");
    m_page->Item(IDC_DEST_PATH).SetText(saved);
    {
        support::Watchdog watchdog("the save command", 30000);
        Click(IDC_SAVE);
    }
    support::RemoveEngine(L"ZMTS.exe");
    support::RemoveEngine(L"ZMTD.exe");
    ASSERT_TRUE(support::Exists(saved));

    RunPreview();
    EXPECT_EQ(Report()["commandline"], Utf8(source));
}

TEST_F(Preview, TheProgramAnswersWhileThePlayerRunsButTakesNoCommand) {
    SelectSource(Scratch(L"movie.mp4"));
    support::WriteBytes(state.m_strSourceFile, "video");
    const HWND frame = app.MainWindow();
    bool answered = false, disabled = false;
    // Another program, while the player runs.
    std::thread outsider([&] {
        Sleep(kProbeMilliseconds / 2);
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
        disabled = !IsWindowEnabled(frame);
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_FILE_SAVE_OUTPUT, 0), 0);
        PostMessageW(frame, WM_CLOSE, 0, 0);
    });
    RunPreview();
    outsider.join();
    support::PumpMessages();
    EXPECT_TRUE(answered) << "the program did not answer while the player ran";
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(m_prompts.Messages().empty()) << "a command or the close ran meanwhile";
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(app.GetMainFrame()->ActiveView(), app.SavePage());
}

TEST_F(Preview, APlayerThatCannotBeStartedIsTold) {
    support::WriteBytes(EngineFile(L"ZMTP.exe"), "not a program");
    SelectSource(Scratch(L"movie.mp4"));
    RunPreview();
    const auto messages = m_prompts.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const std::wstring head = L"\"" + EngineFile(L"ZMTP.exe") + L"\" could not be started.\n";
    EXPECT_EQ(messages[0].text.substr(0, head.size()), head);
    EXPECT_GT(messages[0].text.size(), head.size()) << "the reason";
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST_F(Preview, AMissingPlayerIsNamedAndNothingStarts) {
    support::RemoveEngine(L"ZMTP.exe");
    SelectSource(Scratch(L"movie.mp4"));
    RunPreview();
    const auto messages = m_prompts.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, MissingEngineMessage(EngineFile(L"ZMTP.exe")));
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(support::Exists(m_report));
}

} // namespace
