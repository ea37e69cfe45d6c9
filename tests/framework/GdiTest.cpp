#include "framework/Gdi.h"
#include "framework/Picture.h"

#include "res/resource.h"
#include "support/Testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

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

TEST(ResamplePixels, EachTargetPixelIsTheMeanOfTheAreaItCovers) {
    struct Case {
        const char* what;
        SIZE from;
        std::vector<std::uint32_t> source;
        SIZE to;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"halved", {2, 1}, {0x10, 0x21}, {1, 1}, {0x19}},
        {"a third off, partly covered pixels in proportion",
         {3, 1},
         {0, 90, 180},
         {2, 1},
         {30, 150}},
        {"enlarged downwards",
         {1, 2},
         {0x300000, 0x900000},
         {1, 3},
         {0x300000, 0x600000, 0x900000}},
        {"four bytes apart", {2, 2}, {0xFF000000, 0xFF0000, 0xFF00, 0xFF}, {1, 1}, {0x40404040}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> target(c.expected.size(), 0xDEADBEEF);
        fw::ResamplePixels(c.source.data(), c.from, target.data(), c.to);
        EXPECT_EQ(target, c.expected) << c.what;
    }
}

// Share of points on a grid over the 96-DPI picture whose colour the picture
// at `dpi` repeats at the same place, give or take antialiasing.
double ShareAlike(UINT id, int dpi) {
    const support::Canvas base(id);
    const fw::Bitmap picture = fw::LoadPicture(id, dpi);
    const support::Canvas scaled(picture.Get());
    if (scaled.Width() != fw::ScalePixels(base.Width(), dpi) ||
        scaled.Height() != fw::ScalePixels(base.Height(), dpi))
        return 0;
    int alike = 0, points = 0;
    for (int gy = 0; gy < 16; ++gy) {
        for (int gx = 0; gx < 16; ++gx, ++points) {
            const int x = (2 * gx + 1) * base.Width() / 32, y = (2 * gy + 1) * base.Height() / 32;
            const COLORREF a = base.At(x, y);
            const COLORREF b = scaled.At((2 * x + 1) * dpi / 192, (2 * y + 1) * dpi / 192);
            const int distance = std::abs(GetRValue(a) - GetRValue(b)) +
                                 std::abs(GetGValue(a) - GetGValue(b)) +
                                 std::abs(GetBValue(a) - GetBValue(b));
            alike += distance <= 48 ? 1 : 0;
        }
    }
    return static_cast<double>(alike) / points;
}

TEST(LoadPicture, At96IsTheBitmapItselfAndElsewhereTheSamePictureLargerOrSmaller) {
    for (UINT id : {IDB_SOURCE_BACKGROUND, IDB_ADD_NORMAL}) {
        const support::Canvas bitmap(id);
        const fw::Bitmap at96 = fw::LoadPicture(id, fw::kBaseDpi);
        const support::Canvas picture(at96.Get());
        ASSERT_EQ(picture.Width(), bitmap.Width());
        EXPECT_TRUE(picture.Block(bitmap.Width(), bitmap.Height()) ==
                    bitmap.Block(bitmap.Width(), bitmap.Height()));
        // Rendered (144), scaled down from a rendering (110), up from the
        // largest (240) and down from the bitmap (72).
        for (int dpi : {72, 110, 144, 240})
            EXPECT_GE(ShareAlike(id, dpi), 0.9) << "picture " << id << " at " << dpi << " DPI";
    }
    EXPECT_FALSE(fw::LoadPicture(0xFFFF, 96));
    EXPECT_FALSE(fw::LoadPicture(0xFFFF, 144));
    EXPECT_FALSE(fw::LoadPicture(IDB_ADD_NORMAL, 0));
}

TEST(LoadPicture, DecodesOnAThreadWithoutComAndLeavesItWithout) {
    bool loaded = false;
    HRESULT afterwards = E_FAIL;
    std::thread([&] {
        loaded = fw::LoadPicture(IDB_ADD_NORMAL, 144).Valid();
        // Still free to join the other apartment: nothing was left initialised.
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards))
            CoUninitialize();
    }).join();
    EXPECT_TRUE(loaded);
    EXPECT_EQ(afterwards, S_OK);
}

TEST(PicturePrefetch, HandsLoadPictureEachPictureOnceAtItsDpi) {
    const auto pixels = [](const fw::Bitmap& bitmap) {
        const support::Canvas canvas(bitmap.Get());
        return canvas.Block(canvas.Width(), canvas.Height());
    };
    const UINT ids[] = {IDB_ADD_NORMAL, IDB_REPAIR_HOVER};
    fw::PicturePrefetch prefetch(ids, 144);
    const fw::Bitmap prefetched = fw::LoadPicture(IDB_ADD_NORMAL, 144, &prefetch);
    EXPECT_FALSE(prefetch.Take(IDB_ADD_NORMAL, 144)) << "LoadPicture did not take it";
    EXPECT_EQ(pixels(prefetched), pixels(fw::LoadPicture(IDB_ADD_NORMAL, 144)));

    EXPECT_FALSE(prefetch.Take(IDB_REPAIR_HOVER, 192));
    EXPECT_FALSE(prefetch.Take(IDB_REPAIR_NORMAL, 144));
    const fw::Bitmap taken = prefetch.Take(IDB_REPAIR_HOVER, 144);
    EXPECT_EQ(pixels(taken), pixels(fw::LoadPicture(IDB_REPAIR_HOVER, 144)));
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
