#include "framework/Gdi.h"

#include <algorithm>
#include <cstdlib>

namespace fw {

Bitmap LoadBitmapResource(UINT id, UINT flags) {
    return Bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags)));
}

Bitmap LoadPicture(UINT id, int) {
    return LoadBitmapResource(id); // stand-in until the scaled renderings are in
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool DrawBitmapResource(HDC dc, UINT id, int x, int y, int width, int height) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)); // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(loaded ? LockResource(loaded) : nullptr);
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return false;
    // The pixels follow the header, its colour masks and its colour table.
    const BITMAPINFOHEADER& header = info->bmiHeader;
    DWORD entries = header.biClrUsed;
    if (!entries && header.biBitCount <= 8)
        entries = 1u << header.biBitCount;
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER))
        entries += 3;
    const BYTE* bits =
        reinterpret_cast<const BYTE*>(info) + header.biSize + entries * sizeof(RGBQUAD);
    const int rows = std::abs(header.biHeight);
    width = std::min<int>(width, header.biWidth);
    height = std::min(height, rows);
    if (width <= 0 || height <= 0)
        return true;
    // A bottom-up picture counts the source rows from its bottom line.
    const int sourceY = header.biHeight > 0 ? rows - height : 0;
    return SetDIBitsToDevice(dc, x, y, width, height, 0, sourceY, 0, rows, bits, info,
                             DIB_RGB_COLORS) != 0;
}

void Picture::Draw(HDC dc, int dpi, int x, int y, int width, int height) {
    if (dpi == kBaseDpi) {
        DrawBitmapResource(dc, m_id, x, y, width, height);
        return;
    }
    if (dpi != m_dpi) {
        m_bitmap = LoadPicture(m_id, dpi);
        m_dpi = dpi;
    }
    MemoryDC memory(dc);
    if (!m_bitmap || !memory)
        return;
    const SIZE size = BitmapSize(m_bitmap.Get());
    SelectGuard select(memory.Get(), m_bitmap.Get());
    BitBlt(dc, x, y, std::min<LONG>(width, size.cx), std::min<LONG>(height, size.cy), memory.Get(),
           0, 0, SRCCOPY);
}

OffscreenDC::OffscreenDC(HDC target, int width, int height)
    : m_target(target), m_width(width), m_height(height), m_memory(target),
      m_bitmap(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)) {
    if (m_memory && m_bitmap)
        m_oldBitmap = SelectObject(m_memory.Get(), m_bitmap.Get());
}

OffscreenDC::~OffscreenDC() {
    if (!m_oldBitmap)
        return;
    BitBlt(m_target, 0, 0, m_width, m_height, m_memory.Get(), 0, 0, SRCCOPY);
    SelectObject(m_memory.Get(), m_oldBitmap);
}

} // namespace fw
