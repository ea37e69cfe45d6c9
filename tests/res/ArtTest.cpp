// The pages place their controls over these pictures at fixed positions, so each one must be
// linked in at exactly the size the layout assumes, as a plain 24-bit bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Gdi.h"
#include "framework/Picture.h"
#include "res/resource.h"

#include <set>

namespace {

struct Picture {
    int id;
    LONG width;
    LONG height;
};

constexpr Picture kPictures[] = {
    {IDB_SOURCE_BACKGROUND, 840, 520}, {IDB_REPAIR_NORMAL, 130, 38}, {IDB_REPAIR_HOVER, 132, 40},
    {IDB_ADD_NORMAL, 150, 150},        {IDB_ADD_HOVER, 150, 150},    {IDB_ADD_DONE, 150, 168},
    {IDB_SAVE_BACKGROUND, 833, 444},   {IDB_SAVE_NORMAL, 134, 60},   {IDB_SAVE_HOVER, 134, 60},
    {IDB_PREVIEW_NORMAL, 134, 60},     {IDB_PREVIEW_HOVER, 134, 60}, {IDB_BACK_NORMAL, 134, 60},
    {IDB_BACK_HOVER, 134, 60},         {IDB_BROWSE_NORMAL, 72, 22},  {IDB_BROWSE_HOVER, 72, 22},
    {IDB_ABOUT_BACKGROUND, 378, 440},
};

TEST(ArtTest, BitmapsHaveTheLaidOutSizeAnd24Bits) {
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(testing::Message() << "bitmap id " << picture.id);
        HANDLE bitmap = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture.id),
                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        EXPECT_NE(bitmap, nullptr);
        if (bitmap == nullptr)
            continue;
        DIBSECTION dib{};
        EXPECT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmWidth, picture.width);
        EXPECT_EQ(dib.dsBm.bmHeight, picture.height);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
        DeleteObject(bitmap);
    }
}

TEST(ArtTest, PicturesComeAtTheLaidOutSizeScaledForEachDisplay) {
    for (const Picture& picture : kPictures) {
        for (int dpi : {72, 96, 110, 120, 144, 168, 192, 240}) {
            SCOPED_TRACE(testing::Message() << "bitmap id " << picture.id << " at " << dpi);
            const fw::Bitmap bitmap = fw::LoadPicture(picture.id, dpi);
            const SIZE size = fw::BitmapSize(bitmap.Get());
            EXPECT_EQ(size.cx, fw::ScalePixels(picture.width, dpi));
            EXPECT_EQ(size.cy, fw::ScalePixels(picture.height, dpi));
        }
    }
}

TEST(ArtTest, AppIconHasTheUsualSizesInColour) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    // An icon directory: a count at byte 4, then 14-byte entries led by width
    // and height, where 0 stands for 256.
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    std::set<int> sizes;
    for (int i = 0; i < *reinterpret_cast<const WORD*>(group + 4); ++i)
        sizes.insert(group[6 + 14 * i] ? group[6 + 14 * i] : 256);
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));

    for (int size : {16, 20}) {
        SCOPED_TRACE(testing::Message() << "icon size " << size);
        auto icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        EXPECT_TRUE(GetIconInfo(icon, &info));
        EXPECT_NE(info.hbmColor, nullptr);
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

} // namespace
