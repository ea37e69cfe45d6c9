#include "framework/Gdi.h"

namespace fw {

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
