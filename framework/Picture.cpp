#include "framework/Picture.h"

#include "framework/Application.h"
#include "framework/Window.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace fw {

namespace {

// The header of a bitmap resource of this program, its pixels following; null when there is none.
const BITMAPINFO* LockBitmapResource(UINT id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)); // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(loaded ? LockResource(loaded) : nullptr);
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    return info;
}

// The renderings beside the 100 % bitmap, each a resource type of its own that
// holds a PNG under the bitmap's id; by display scale in percent, ascending.
struct Rendering {
    int percent;
    const wchar_t* type;
};
constexpr Rendering kRenderings[] = {
    {125, L"PNG125"}, {150, L"PNG150"}, {175, L"PNG175"}, {200, L"PNG200"}};

// No side of a picture grows beyond this; a larger one is refused before any memory is taken.
constexpr int kLargestSide = 1 << 14;

// A top-down 32-bit DIB section and its pixels.
struct Dib {
    Bitmap bitmap;
    std::uint32_t* bits = nullptr;
    SIZE size{};
};

Dib CreateDib(SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Dib dib{Bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)), nullptr,
            size};
    if (dib.bitmap)
        dib.bits = static_cast<std::uint32_t*>(bits);
    return dib;
}

// The 100 % bitmap as 32-bit pixels, copied straight from the resource.
Dib BitmapPixels(UINT id, SIZE size) {
    Dib dib = CreateDib(size);
    if (!dib.bitmap)
        return {};
    MemoryDC dc(nullptr);
    SelectGuard select(dc.Get(), dib.bitmap.Get());
    if (!DrawBitmapResource(dc.Get(), id, 0, 0, size.cx, size.cy))
        return {};
    GdiFlush();
    return dib;
}

// COM on this thread while the object lives, unless the thread has it already.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        // S_FALSE too is one more initialisation to balance; RPC_E_CHANGED_MODE
        // (the thread is in the multithreaded apartment) is not.
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }

private:
    HRESULT m_result;
};

// A PNG resource of this program decoded by the Windows Imaging Component.
// The component is created through COM here rather than linked, so that a
// program that never asks for a scaled picture never loads it.
Dib DecodeRendering(UINT id, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD length = found ? SizeofResource(module, found) : 0;
    if (!data || !length)
        return {};

    ComScope com; // goes last, after every reference below
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    // The stream only reads the resource, whatever its signature says.
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.Put()))) ||
        FAILED(factory.Get()->CreateStream(stream.Put())) ||
        FAILED(stream.Get()->InitializeFromMemory(static_cast<BYTE*>(data), length)) ||
        FAILED(factory.Get()->CreateDecoderFromStream(
            stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put())) ||
        FAILED(decoder.Get()->GetFrame(0, frame.Put())) ||
        FAILED(factory.Get()->CreateFormatConverter(converter.Put())) ||
        FAILED(converter.Get()->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom)) ||
        FAILED(converter.Get()->GetSize(&width, &height)))
        return {};
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide)
        return {};
    Dib dib = CreateDib({static_cast<LONG>(width), static_cast<LONG>(height)});
    const UINT stride = width * 4;
    if (!dib.bitmap || FAILED(converter.Get()->CopyPixels(nullptr, stride, stride * height,
                                                          reinterpret_cast<BYTE*>(dib.bits))))
        return {};
    return dib;
}

// Which source pixels make up each target pixel along one axis, and how much
// of each: a target pixel spans `from` units, a source pixel `to` units.
struct Coverage {
    struct Tap {
        int source;
        std::uint32_t weight;
    };
    std::vector<Tap> taps;
    std::vector<std::size_t> start; // target i takes taps[start[i]] up to taps[start[i + 1]]
};

Coverage Cover(int from, int to) {
    Coverage coverage;
    coverage.start.reserve(static_cast<std::size_t>(to) + 1);
    for (std::int64_t i = 0; i < to; ++i) {
        coverage.start.push_back(coverage.taps.size());
        const std::int64_t begin = i * from, end = begin + from;
        for (std::int64_t s = begin / to; s * to < end; ++s) {
            const std::int64_t weight = std::min(end, (s + 1) * to) - std::max(begin, s * to);
            coverage.taps.push_back({static_cast<int>(s), static_cast<std::uint32_t>(weight)});
        }
    }
    coverage.start.push_back(coverage.taps.size());
    return coverage;
}

} // namespace

Bitmap LoadBitmapResource(UINT id, UINT flags) {
    return Bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags)));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

bool DrawBitmapResource(HDC dc, UINT id, int x, int y, int width, int height) {
    const BITMAPINFO* info = LockBitmapResource(id);
    if (!info)
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

namespace {
// The DPI that windows are made at, before there is one: without asking a
// screen DC for it where the system can tell (Windows 10 1607 on).
int SystemDpi() {
    using DpiForSystem = UINT(WINAPI*)();
    const auto dpiForSystem = reinterpret_cast<DpiForSystem>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    const UINT dpi = dpiForSystem ? dpiForSystem() : 0;
    return dpi ? static_cast<int>(dpi) : DpiOf(nullptr);
}

// LoadPicture at any DPI but 96, without a prefetch.
Bitmap DecodePicture(UINT id, int dpi) {
    const BITMAPINFO* info = LockBitmapResource(id);
    if (!info || dpi <= 0)
        return {};
    const SIZE base{info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight)};
    const SIZE size{ScalePixels(base.cx, dpi), ScalePixels(base.cy, dpi)};
    if (size.cx < 1 || size.cy < 1 || size.cx > kLargestSide || size.cy > kLargestSide)
        return {};
    try {
        Dib source;
        if (dpi < kBaseDpi) {
            source = BitmapPixels(id, base);
        } else {
            const Rendering* rendering = &kRenderings[std::size(kRenderings) - 1];
            for (const Rendering& candidate : kRenderings) {
                if (candidate.percent * kBaseDpi >= dpi * 100) {
                    rendering = &candidate;
                    break;
                }
            }
            source = DecodeRendering(id, rendering->type);
        }
        if (!source.bitmap)
            return {};
        if (source.size.cx == size.cx && source.size.cy == size.cy)
            return std::move(source.bitmap);
        Dib target = CreateDib(size);
        if (!target.bitmap)
            return {};
        ResamplePixels(source.bits, source.size, target.bits, size);
        return std::move(target.bitmap);
    } catch (const std::bad_alloc&) {
        return {};
    }
}
} // namespace

Bitmap LoadPicture(UINT id, int dpi, PicturePrefetch* prefetch) {
    if (dpi == kBaseDpi)
        return LoadBitmapResource(id);
    if (prefetch)
        if (Bitmap prefetched = prefetch->Take(id, dpi))
            return prefetched;
    return DecodePicture(id, dpi);
}

PicturePrefetch::PicturePrefetch(std::span<const UINT> ids, int dpi)
    : m_dpi(dpi ? dpi : SystemDpi()) {
    if (m_dpi == kBaseDpi)
        return;
    for (UINT id : ids)
        m_entries.push_back({id, false, false, Bitmap()});
    // The decoding keeps its pixels on the heap, so a small stack will do.
    // Wine counts a thread's whole stack as committed (1 MiB at the least),
    // and keeps it so after the thread's end until another thread ends.
    constexpr SIZE_T kStackBytes = 256 << 10;
    m_worker = CreateThread(nullptr, kStackBytes, &PicturePrefetch::Decode, this,
                            STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

PicturePrefetch::~PicturePrefetch() {
    if (!m_worker)
        return;
    WaitForSingleObject(m_worker, INFINITE);
    CloseHandle(m_worker);
}

DWORD WINAPI PicturePrefetch::Decode(void* parameter) {
    auto& self = *static_cast<PicturePrefetch*>(parameter);
    // One apartment for the whole batch keeps the decoder loaded between pictures.
    ComScope com;
    for (Entry& entry : self.m_entries) {
        Bitmap bitmap = DecodePicture(entry.id, self.m_dpi);
        AcquireSRWLockExclusive(&self.m_lock);
        entry.bitmap = std::move(bitmap);
        entry.done = true;
        ReleaseSRWLockExclusive(&self.m_lock);
        WakeAllConditionVariable(&self.m_decoded);
    }
    MarkStartupStep("pictures");
    return 0;
}

Bitmap PicturePrefetch::Take(UINT id, int dpi) {
    if (dpi != m_dpi)
        return {};
    AcquireSRWLockExclusive(&m_lock);
    Bitmap bitmap;
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [id](const Entry& e) { return e.id == id && !e.taken; });
    if (entry != m_entries.end()) {
        while (!entry->done)
            SleepConditionVariableSRW(&m_decoded, &m_lock, INFINITE, 0);
        entry->taken = true;
        bitmap = std::move(entry->bitmap);
    }
    ReleaseSRWLockExclusive(&m_lock);
    return bitmap;
}

void ResamplePixels(const std::uint32_t* source, SIZE sourceSize, std::uint32_t* target,
                    SIZE targetSize) {
    const int sw = sourceSize.cx, sh = sourceSize.cy, tw = targetSize.cx, th = targetSize.cy;
    if (sw < 1 || sh < 1 || tw < 1 || th < 1)
        return;
    // Exact in whole numbers: across, a target pixel's weights add up to sw, so
    // each channel sums to at most 255 * sw; down, to at most 255 * sw * sh.
    const Coverage across = Cover(sw, tw);
    const Coverage down = Cover(sh, th);
    // Source rows resampled across are kept only while target rows still take
    // them: no target row takes more than `window` of them, always further down.
    std::size_t window = 1;
    for (int y = 0; y < th; ++y)
        window = std::max(window, down.start[y + 1] - down.start[y]);
    const std::size_t rowLength = static_cast<std::size_t>(tw) * 4;
    std::vector<std::uint32_t> rows(window * rowLength);
    int next = 0; // the next source row to resample across
    std::vector<std::uint64_t> sums(rowLength);
    const std::uint64_t total = static_cast<std::uint64_t>(sw) * sh;
    for (int y = 0; y < th; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (std::size_t t = down.start[y]; t < down.start[y + 1]; ++t) {
            const int sourceY = down.taps[t].source;
            for (; next <= sourceY; ++next) {
                const std::uint32_t* in = source + static_cast<std::size_t>(next) * sw;
                std::uint32_t* out = rows.data() + (next % window) * rowLength;
                std::fill(out, out + rowLength, 0);
                for (int x = 0; x < tw; ++x, out += 4) {
                    for (std::size_t a = across.start[x]; a < across.start[x + 1]; ++a) {
                        const std::uint32_t pixel = in[across.taps[a].source];
                        const std::uint32_t weight = across.taps[a].weight;
                        for (int c = 0; c < 4; ++c)
                            out[c] += weight * ((pixel >> (8 * c)) & 0xFF);
                    }
                }
            }
            const std::uint32_t* row = rows.data() + (sourceY % window) * rowLength;
            const std::uint64_t weight = down.taps[t].weight;
            for (std::size_t i = 0; i < rowLength; ++i)
                sums[i] += weight * row[i];
        }
        std::uint32_t* out = target + static_cast<std::size_t>(y) * tw;
        for (int x = 0; x < tw; ++x) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= static_cast<std::uint32_t>((sums[x * 4 + c] + total / 2) / total)
                         << (8 * c);
            out[x] = pixel;
        }
    }
}

void Picture::Draw(HDC dc, int dpi, int x, int y, int width, int height) {
    if (dpi == kBaseDpi) {
        DrawBitmapResource(dc, m_id, x, y, width, height);
        return;
    }
    if (dpi != m_dpi) {
        m_bitmap = LoadPicture(m_id, dpi, m_prefetch);
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

} // namespace fw
