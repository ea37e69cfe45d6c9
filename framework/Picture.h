// The program's pictures: bitmap resources drawn for the display's DPI,
// decoded ahead of the first paint, and resampled between renderings.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace fw {

// Loads a bitmap resource of this program as a device-dependent bitmap.
Bitmap LoadBitmapResource(UINT id, UINT flags = 0);
// Size of a bitmap in pixels; {0, 0} for none.
SIZE BitmapSize(HBITMAP bitmap);
// Copies the top left of a bitmap resource of this program, at most width x
// height of it, to (x, y) of a DC straight from the resource. For a picture as
// large as a page, loading it as a bitmap first costs more than the copy.
// False when there is no such picture.
bool DrawBitmapResource(HDC dc, UINT id, int x, int y, int width, int height);

// Picture `id` of this program drawn for `dpi`, as a bitmap of exactly
// ScalePixels(width at 96) x ScalePixels(height at 96). At 96 it is the bitmap
// resource itself; otherwise the rendering closest at or above the DPI,
// scaled smoothly to the exact size when the DPI falls between renderings
// (and scaled up from the largest above 200 %). None when there is no such
// picture. Taken from `prefetch` when it has decoded the picture at that DPI.
class PicturePrefetch;
Bitmap LoadPicture(UINT id, int dpi, PicturePrefetch* prefetch = nullptr);
// Decodes pictures of this program for a DPI on a worker thread of its own,
// when that is not 96, so that the decoding overlaps whatever the caller
// does meanwhile. LoadPicture, handed the object, takes each of them at that
// DPI from there, once, waiting for the worker if it has not come to it yet.
// Its end waits for the worker.
class PicturePrefetch {
public:
    // `dpi` 0: the system's, which windows are made at.
    explicit PicturePrefetch(std::span<const UINT> ids, int dpi = 0);
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;
    ~PicturePrefetch();
    // Picture `id` at `dpi` as the worker made it, taken from the worker's
    // hands; none when it is not one of its pictures or DPI, or was taken.
    Bitmap Take(UINT id, int dpi);

private:
    static DWORD WINAPI Decode(void* self);

    struct Entry {
        UINT id;
        bool done = false;
        bool taken = false;
        Bitmap bitmap;
    };
    int m_dpi;
    std::vector<Entry> m_entries;
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_decoded = CONDITION_VARIABLE_INIT;
    HANDLE m_worker = nullptr;
};

// Resamples a top-down picture of 32-bit pixels to another size: each target
// pixel is the mean of the source area it covers, partly covered pixels in
// proportion, each of the four bytes on its own. Serves enlarging as well.
void ResamplePixels(const std::uint32_t* source, SIZE sourceSize, std::uint32_t* target,
                    SIZE targetSize);

// A picture of this program drawn at its natural size for a DPI, kept from one
// paint to the next. At 96 DPI it is copied straight from the resource.
class Picture {
public:
    // The first drawing at the prefetch's DPI takes the picture from there.
    explicit Picture(UINT id, PicturePrefetch* prefetch = nullptr)
        : m_id(id), m_prefetch(prefetch) {}
    // Draws the top left of the picture, at most width x height of it, at (x, y).
    void Draw(HDC dc, int dpi, int x, int y, int width, int height);

private:
    UINT m_id;
    PicturePrefetch* m_prefetch;
    int m_dpi = 0;
    Bitmap m_bitmap;
};

} // namespace fw
