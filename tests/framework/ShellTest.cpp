// Links and the player get the user's normal rights, never the program's own
// where the normal way exists.
#include "framework/Shell.h"

#include <gtest/gtest.h>

#include <shldisp.h>

namespace {

// Answers for the desktop and for this process, and notes who was asked.
struct ScriptedShell : fw::LinkShell {
    std::optional<bool> desktop;
    bool here = true;
    std::wstring asked;
    std::optional<bool> OpenOnDesktop(const std::wstring& target, int show) override {
        asked += L"desktop " + target + L" " + std::to_wstring(show) + L";";
        return desktop;
    }
    bool OpenHere(const std::wstring&, int) override {
        asked += L"here;";
        return here;
    }
};

TEST(OpenLink, GoesThroughTheDesktopAndFromHereOnlyWhereNoDesktopAnswers) {
    const struct {
        std::optional<bool> desktop;
        bool here, opened;
        const wchar_t* asked;
    } cases[] = {
        {true, true, true, L"desktop mailto:sales@dravix.example 3;"},
        // A desktop that failed is not worked around with this program's rights.
        {false, true, false, L"desktop mailto:sales@dravix.example 3;"},
        {std::nullopt, true, true, L"desktop mailto:sales@dravix.example 3;here;"},
        {std::nullopt, false, false, L"desktop mailto:sales@dravix.example 3;here;"},
    };
    for (const auto& c : cases) {
        ScriptedShell shell;
        shell.desktop = c.desktop;
        shell.here = c.here;
        EXPECT_EQ(fw::OpenLink(L"mailto:sales@dravix.example", SW_SHOWMAXIMIZED, &shell), c.opened);
        EXPECT_EQ(shell.asked, c.asked);
    }
    // Wine's desktop (explorer) answers as Windows' does; nothing is opened here.
    EXPECT_TRUE(fw::DesktopShell()) << "links would open with the program's rights";
}

TEST(NormalUserToken, IsNeverAboveMediumIntegrity) {
    // Wine 8 makes none (its SAFER calls succeed without a token, which reads
    // as high): the player then starts as the program does.
    if (const fw::UniqueHandle token = fw::NormalUserToken()) {
        EXPECT_EQ(fw::IntegrityLevel(token.Get()), DWORD{SECURITY_MANDATORY_MEDIUM_RID});
    }
}

} // namespace
