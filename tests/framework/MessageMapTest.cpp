// Message tables: arguments unpacked for typed handlers, commands told apart
// by their notification code, child notifications reflected to the child
// control first, and no exception escaping a window procedure.
#include "framework/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr int kButtonId = 100;
constexpr int kEditId = 101;
constexpr UINT kThrow = WM_APP + 1;

class TestWindow : public fw::Window {
public:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void OnSize(UINT type, int cx, int cy) {
        sizeType = type;
        size = {cx, cy};
    }
    void OnButton() { ++buttonCommands; }
    void OnEditChange() { ++editChanges; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    int OnCreate(const CREATESTRUCTW&) {
        if (throwOnCreate)
            throw std::runtime_error("creation failed");
        return 0;
    }

    UINT sizeType = 0;
    SIZE size{};
    int buttonCommands = 0;
    int editChanges = 0;
    bool throwOnCreate = false;

    static const fw::MessageEntry<TestWindow> kMessages[];
};

constexpr fw::MessageEntry<TestWindow> TestWindow::kMessages[] = {
    fw::msg::Size<&TestWindow::OnSize>(),
    fw::msg::Command<kButtonId, &TestWindow::OnButton>(),
    fw::msg::Notify<kEditId, EN_CHANGE, &TestWindow::OnEditChange>(),
    fw::msg::Raw<kThrow, &TestWindow::OnThrow>(),
    fw::msg::Create<&TestWindow::OnCreate>(),
};

bool TestWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result) ||
           fw::Window::ProcessMessage(message, wParam, lParam, result);
}

// A button that answers its own clicks and colours itself.
class SelfAnsweringButton : public fw::Control {
public:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnClicked() { ++clicks; }
    HBRUSH CtlColor(HDC, UINT kind) {
        colourKind = kind;
        return brush;
    }

    int clicks = 0;
    UINT colourKind = 0xFFFF;
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

    static const fw::MessageEntry<SelfAnsweringButton> kMessages[];
};

constexpr fw::MessageEntry<SelfAnsweringButton> SelfAnsweringButton::kMessages[] = {
    fw::msg::ReflectedCommand<BN_CLICKED, &SelfAnsweringButton::OnClicked>(),
    fw::msg::ReflectedCtlColor<&SelfAnsweringButton::CtlColor>(),
};

bool SelfAnsweringButton::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    return fw::DispatchTable(*this, kMessages, message, wParam, lParam, result) ||
           fw::Control::ProcessMessage(message, wParam, lParam, result);
}

class MessageMap : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create({.rect = {0, 0, 200, 100}, .style = WS_OVERLAPPEDWINDOW}));
    }
    LRESULT Notify(HWND child, UINT code) {
        return window.Send(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code),
                           reinterpret_cast<LPARAM>(child));
    }
    HWND PlainChild(int id, const wchar_t* className) {
        return CreateWindowExW(0, className, L"", WS_CHILD, 0, 0, 10, 10, window.Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    TestWindow window;
};

TEST_F(MessageMap, BindsTheObjectForTheWindowsLifeAndUnpacksArguments) {
    EXPECT_EQ(fw::WindowBase::FromHandle(window.Handle()), &window);
    window.Send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 120));
    EXPECT_EQ(window.sizeType, static_cast<UINT>(SIZE_MAXIMIZED));
    EXPECT_EQ(window.size.cx, 300);
    EXPECT_EQ(window.size.cy, 120);

    HWND handle = window.Handle();
    window.Destroy();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(fw::WindowBase::FromHandle(handle), nullptr);
}

TEST_F(MessageMap, CommandEntriesTellMenuAcceleratorAndNotificationCodesApart) {
    window.Send(WM_COMMAND, MAKEWPARAM(kButtonId, 0), 0); // menu
    window.Send(WM_COMMAND, MAKEWPARAM(kButtonId, 1), 0); // accelerator
    HWND button = PlainChild(kButtonId, L"Button");
    Notify(button, BN_CLICKED);
    EXPECT_EQ(window.buttonCommands, 3);
    Notify(button, BN_SETFOCUS);
    EXPECT_EQ(window.buttonCommands, 3) << "a notification other than a click ran the command";

    HWND edit = PlainChild(kEditId, L"Edit");
    Notify(edit, EN_UPDATE);
    window.Send(WM_COMMAND, MAKEWPARAM(kEditId, 0), 0);
    EXPECT_EQ(window.editChanges, 0);
    Notify(edit, EN_CHANGE);
    EXPECT_EQ(window.editChanges, 1);
}

TEST_F(MessageMap, ChildControlsAnswerTheirOwnNotificationsFirst) {
    SelfAnsweringButton button;
    ASSERT_TRUE(button.Create({.parent = window.Handle(),
                               .id = kButtonId,
                               .rect = {0, 0, 50, 20},
                               .className = L"Button"}));
    Notify(button.Handle(), BN_CLICKED);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(window.buttonCommands, 0) << "the parent ran a click the button had answered";

    // Colours asked of the parent come from the child.
    HDC dc = GetDC(window.Handle());
    const LRESULT brush = window.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(button.Handle()));
    ReleaseDC(window.Handle(), dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), button.brush);
    EXPECT_EQ(button.colourKind, static_cast<UINT>(CTLCOLOR_STATIC));

    // An unbound child with the same id goes to the parent's table.
    HWND plain = PlainChild(kButtonId, L"Button");
    Notify(plain, BN_CLICKED);
    EXPECT_EQ(window.buttonCommands, 1);
    EXPECT_EQ(button.clicks, 1);
}

TEST_F(MessageMap, AnExceptionInAHandlerStopsAtTheWindowProcedure) {
    EXPECT_EQ(window.Send(kThrow), 0);
    EXPECT_TRUE(IsWindow(window.Handle()));

    // One in the making of a window fails the making.
    TestWindow failing;
    failing.throwOnCreate = true;
    EXPECT_FALSE(failing.Create({.style = WS_OVERLAPPEDWINDOW}));
    EXPECT_EQ(failing.Handle(), nullptr);
}

} // namespace
