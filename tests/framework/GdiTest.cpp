#include "framework/Gdi.h"

#include "res/resource.h"
#include "support/Testing.h"

#include <gtest/gtest.h>

namespace {

bool IsLiveObject(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

TEST(GdiObject, DeletesOwnedObjectAndOnlyBorrowsOtherwise) {
    HBRUSH handle = CreateSolidBrush(RGB(1, 2, 3));
    { fw::GdiObject<HBRUSH, false> borrowed(handle); }
    EXPECT_TRUE(IsLiveObject(handle));
    {
        fw::Brush owned(handle);
        fw::Brush moved(std::move(owned));
        EXPECT_EQ(owned.Get(), nullptr);
        EXPECT_EQ(moved.Get(), handle);
    }
    EXPECT_FALSE(IsLiveObject(handle));
}

TEST(SelectGuard, RestoresThePreviousObject) {
    fw::MemoryDC dc(nullptr);
    fw::Brush brush(CreateSolidBrush(RGB(9, 9, 9)));
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    {
        fw::SelectGuard select(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}

TEST(OffscreenDC, CopiesItsSurfaceToTheTargetWhenDone) {
    fw::WindowDC screen(nullptr);
    fw::MemoryDC target(screen.Get());
    fw::Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), 8, 8));
    fw::SelectGuard select(target.Get(), bitmap.Get());
    RECT all{0, 0, 8, 8};
    FillRect(target.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    {
        fw::OffscreenDC offscreen(target.Get(), 8, 8);
        fw::Brush red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(offscreen.Get(), &all, red.Get());
        EXPECT_EQ(GetPixel(target.Get(), 3, 3), RGB(0, 0, 0)) << "drawn before the copy";
    }
    EXPECT_EQ(GetPixel(target.Get(), 3, 3), RGB(255, 0, 0));
}

TEST(DrawBitmapResource, CopiesTheTopLeftOfThePictureAndNothingBeyond) {
    const support::Canvas picture(IDB_SOURCE_BACKGROUND);
    ASSERT_GT(picture.Height(), 200);
    const COLORREF marker = RGB(1, 2, 3);
    support::Canvas page(310, 210, marker);
    ASSERT_TRUE(fw::DrawBitmapResource(page.Dc(), IDB_SOURCE_BACKGROUND, 0, 0, 300, 200));
    // The top rows of a taller, bottom-up picture, not its bottom ones.
    EXPECT_TRUE(page.Block(300, 200) == picture.Block(300, 200));
    EXPECT_EQ(page.At(305, 100), marker);
    EXPECT_EQ(page.At(100, 205), marker);

    EXPECT_FALSE(fw::DrawBitmapResource(page.Dc(), 0xFFFF, 0, 0, 10, 10));
}

TEST(UniqueHandle, ClosesOnceAndTreatsInvalidAsNone) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        fw::UniqueHandle owner(event);
        fw::UniqueHandle other = std::move(owner);
        EXPECT_FALSE(owner.Valid());
        EXPECT_TRUE(other.Valid());
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    fw::UniqueHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid.Valid());
}

} // namespace
