// The page switch: the shown page always holds the first-pane id, is the only
// visible page and fills the frame between the menu bar and the status bar.
#include "support/Testing.h"

#include "res/resource.h"

namespace {

struct PageState {
    int id;
    bool visible;
    RECT rect;
    bool operator==(const PageState& other) const {
        return id == other.id && visible == other.visible && EqualRect(&rect, &other.rect);
    }
};

class PageSwitch : public support::Workspace {
protected:
    fw::View* Page(int page) const { return app.Page(page); }
    PageState State(int page) const {
        return {Page(page)->Id(), (Page(page)->Style() & WS_VISIBLE) != 0,
                Page(page)->RectInParent()};
    }

    void ExpectShown(int page) {
        SCOPED_TRACE(testing::Message() << "page " << page << " shown");
        fw::View* shown = Page(page);
        fw::View* hidden = Page(1 - page);
        EXPECT_EQ(frame->ActiveView(), shown);
        EXPECT_EQ(shown->Id(), ID_FIRST_PANE);
        EXPECT_EQ(hidden->Id(), ID_SECOND_PANE);
        EXPECT_EQ(GetDlgItem(Frame(), ID_FIRST_PANE), shown->Handle());
        EXPECT_TRUE(shown->IsVisible());
        EXPECT_FALSE(hidden->Style() & WS_VISIBLE);

        // Between the menu bar (outside the client area) and the status bar.
        const RECT client = frame->ClientRect();
        const RECT bar = frame->m_wndStatusBar.RectInParent();
        const RECT rect = shown->RectInParent();
        EXPECT_EQ(bar.bottom, client.bottom);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, client.right);
        EXPECT_EQ(rect.bottom, bar.top);
        EXPECT_GT(rect.bottom, 0);
    }
};

TEST_F(PageSwitch, StartsOnTheSourcePageWithTheSavePageWaitingEmpty) {
    EXPECT_EQ(state.m_bSourcePageActive, 1);
    EXPECT_FALSE(state.m_bStopProcess);
    ASSERT_TRUE(Page(0) && Page(1));
    EXPECT_EQ(Page(0)->Parent().Handle(), Frame());
    EXPECT_EQ(Page(1)->Parent().Handle(), Frame());

    EXPECT_EQ(frame->ActiveView(), Page(0));
    EXPECT_EQ(Page(0)->Id(), ID_FIRST_PANE);
    EXPECT_EQ(Page(1)->Id(), ID_SECOND_PANE);
    EXPECT_TRUE(Page(0)->IsVisible());
    const RECT saveRect = State(1).rect;
    EXPECT_TRUE(IsRectEmpty(&saveRect)) << "the save page covers part of the window";
    EXPECT_TRUE(frame->IsVisible());
    EXPECT_EQ(frame->GetText(), L"Dravix Video Repair");
}

TEST_F(PageSwitch, EverySwitchExchangesIdsAndLeavesOnePageFillingTheFrame) {
    int current = 0;
    for (int page : {1, 0, 1, 1, 0, 0, 1, 0}) {
        fw::View* before = frame->ActiveView();
        EXPECT_EQ(GoTo(page), before) << "switching to page " << page;
        ExpectShown(page);
        EXPECT_EQ(state.m_bSourcePageActive, page == 0 ? 1 : 0) << "the commands follow the page";
        current = page;
    }
    EXPECT_EQ(current, 0);
}

TEST_F(PageSwitch, ShowingTheCurrentPageChangesNothing) {
    GoTo(1);
    support::PumpMessages();
    const PageState source = State(0), save = State(1);
    // The page's paint state is not the switch's business; the flag follows the page.
    state.m_bSourcePageActive = 7;
    ValidateRect(Page(1)->Handle(), nullptr);

    EXPECT_EQ(app.ShowPage(1), Page(1));
    EXPECT_EQ(State(0), source);
    EXPECT_EQ(State(1), save);
    EXPECT_EQ(state.m_bSourcePageActive, 0);
    EXPECT_EQ(frame->ActiveView(), Page(1));
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(Page(1)->Handle(), &dirty, FALSE)) << "the page was repainted";
}

TEST_F(PageSwitch, WithoutAnActiveViewNothingIsSwitched) {
    const PageState source = State(0), save = State(1);
    frame->SetActiveView(nullptr);
    EXPECT_EQ(app.ShowPage(1), nullptr);
    EXPECT_EQ(app.ShowPage(0), nullptr);
    EXPECT_EQ(State(0), source);
    EXPECT_EQ(State(1), save);
    EXPECT_EQ(frame->ActiveView(), nullptr);
}

TEST(PageSwitchBeforeStartUp, ReturnsNullWhenThereIsNoFrameOrNoSuchPage) {
    CDravix_Video_RecoveryApp app;
    EXPECT_EQ(app.ShowPage(0), nullptr);
    EXPECT_EQ(app.GetWorkflow().m_bSourcePageActive, 0);
    ASSERT_TRUE(app.CreateWorkspace(SW_HIDE));
    EXPECT_EQ(app.ShowPage(2), nullptr);
    EXPECT_EQ(app.ShowPage(-1), nullptr);
    EXPECT_EQ(app.GetMainFrame()->ActiveView(), app.Page(0));
}

} // namespace
