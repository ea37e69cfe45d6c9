// Links open through the desktop's shell, and the player's token is a normal
// user's; neither may fall back to the program's own administrator rights
// where the normal way exists.
#include "framework/Shell.h"

#include <gtest/gtest.h>

#include <shldisp.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

class RecordingShell : public fw::LinkShell {
public:
    RecordingShell(std::optional<bool> desktop, bool here) : m_desktop(desktop), m_here(here) {}
    std::optional<bool> OpenOnDesktop(const std::wstring& target, int show) override {
        calls.push_back(L"desktop " + target + L" " + std::to_wstring(show));
        return m_desktop;
    }
    bool OpenHere(const std::wstring& target, int show) override {
        calls.push_back(L"here " + target + L" " + std::to_wstring(show));
        return m_here;
    }
    std::vector<std::wstring> calls;

private:
    std::optional<bool> m_desktop;
    bool m_here;
};

TEST(OpenLink, GoesThroughTheDesktopAndFromHereOnlyWhereNoDesktopAnswers) {
    const std::wstring desktop = L"desktop mailto:sales@dravix.example 3";
    const std::wstring here = L"here mailto:sales@dravix.example 3";
    struct Case {
        std::optional<bool> desktopOpens;
        bool hereOpens;
        bool opened;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {true, true, true, {desktop}},
        // A desktop that failed is not worked around with this program's rights.
        {false, true, false, {desktop}},
        {std::nullopt, true, true, {desktop, here}},
        {std::nullopt, false, false, {desktop, here}},
    };
    for (const Case& c : cases) {
        RecordingShell shell(c.desktopOpens, c.hereOpens);
        EXPECT_EQ(fw::OpenLink(L"mailto:sales@dravix.example", SW_SHOWMAXIMIZED, &shell), c.opened);
        EXPECT_EQ(shell.calls, c.calls);
    }
}

TEST(OpenLink, TheDesktopShellAnswers) {
    // Wine's desktop (explorer) answers as Windows' does; nothing is opened here.
    EXPECT_TRUE(fw::DesktopShell()) << "links would open with the program's rights";
}

TEST(NormalUserToken, IsNeverAboveMediumIntegrity) {
    const fw::UniqueHandle token = fw::NormalUserToken();
    if (!token) {
        // Wine 8 makes no such token: its SAFER calls succeed without one.
        std::printf("[ note     ] no normal-user token here; the player starts as the program\n");
        return;
    }
    EXPECT_EQ(fw::IntegrityLevel(token.Get()), static_cast<DWORD>(SECURITY_MANDATORY_MEDIUM_RID));
}

} // namespace
