#include "engines/ZMTP/Diagnosis.h"

#include "framework/Files.h"
#include "framework/Gdi.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

using Bytes = std::string_view;

bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

ULONGLONG BigEndian(const unsigned char* bytes, int count) {
    ULONGLONG value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

bool IsBoxType(const unsigned char* type) {
    for (int i = 0; i < 4; ++i)
        if (type[i] < 0x20 || type[i] > 0x7E)
            return false;
    return true;
}

// An MP4-family file keeps its index in the "moov" box; a player cannot do
// without it. Walks the top-level boxes to it and checks that its first inner
// box is well formed, which a zeroed or overwritten index is not.
bool HasIsoIndex(HANDLE file, ULONGLONG fileSize) {
    ULONGLONG offset = 0;
    for (int boxes = 0; boxes < 256 && offset + 8 <= fileSize; ++boxes) {
        unsigned char header[16];
        if (!ReadAt(file, offset, header, 8))
            return false;
        ULONGLONG size = BigEndian(header, 4), headerSize = 8;
        if (size == 1) {
            if (!ReadAt(file, offset + 8, header + 8, 8))
                return false;
            size = BigEndian(header + 8, 8);
            headerSize = 16;
        } else if (size == 0) {
            size = fileSize - offset; // the last box runs to the end of the file
        }
        if (size < headerSize || !IsBoxType(header + 4))
            return false;
        if (std::memcmp(header + 4, "moov", 4) == 0) {
            unsigned char inner[8];
            if (size < headerSize + 8 || !ReadAt(file, offset + headerSize, inner, 8))
                return false;
            const ULONGLONG innerSize = BigEndian(inner, 4);
            return innerSize >= 8 && innerSize <= size - headerSize && IsBoxType(inner + 4);
        }
        offset += size;
    }
    return false;
}

bool StartsWith(Bytes bytes, Bytes prefix, size_t at = 0) {
    return bytes.size() >= at + prefix.size() && bytes.substr(at, prefix.size()) == prefix;
}

} // namespace

bool LooksLikeIntactVideo(const std::wstring& path) {
    fw::UniqueHandle file(CreateFileW(fw::LongPathForm(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return false;
    std::array<char, 192> head{};
    DWORD read = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr))
        return false;
    const Bytes bytes(head.data(), read);

    for (Bytes box : {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"})
        if (StartsWith(bytes, box, 4))
            return HasIsoIndex(file.Get(), static_cast<ULONGLONG>(size.QuadPart));
    using namespace std::string_view_literals;
    constexpr Bytes kAsf = "\x30\x26\xB2\x75\x8E\x66\xCF\x11"sv;
    return (StartsWith(bytes, "RIFF") && StartsWith(bytes, "AVI ", 8)) ||
           StartsWith(bytes, "\x1A\x45\xDF\xA3"sv) || // Matroska, WebM
           StartsWith(bytes, "FLV\x01"sv) || StartsWith(bytes, kAsf) ||
           StartsWith(bytes, "\x00\x00\x01\xBA"sv) ||                         // MPEG program stream
           StartsWith(bytes, "\x00\x00\x01\xB3"sv) ||                         // MPEG video
           (StartsWith(bytes, "\x47"sv) && StartsWith(bytes, "\x47"sv, 188)); // transport stream
}

std::wstring FormatTime(LONGLONG units) {
    const LONGLONG seconds = units > 0 ? units / 10'000'000 : 0;
    wchar_t text[32];
    if (seconds >= 3600)
        std::swprintf(text, std::size(text), L"%lld:%02lld:%02lld", seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    else
        std::swprintf(text, std::size(text), L"%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::wstring TroubleText(Trouble trouble, const std::wstring& path, HRESULT error, LONGLONG reached,
                         LONGLONG duration) {
    std::wstring text;
    switch (trouble) {
    case Trouble::CannotOpen:
        text =
            L"This file cannot be played:\n" + path + L"\n\nIt is damaged, or it is not a video.";
        break;
    case Trouble::NotSupported:
        text = L"This file cannot be played:\n" + path +
               L"\n\nThis kind of video is not supported on this computer.";
        break;
    case Trouble::NoPicture:
        text = L"This file has no picture that can be shown:\n" + path;
        break;
    case Trouble::Stopped:
        text = L"The video stopped at " + FormatTime(reached) + L" of " + FormatTime(duration) +
               L":\n" + path + L"\n\nThe rest of the file could not be read.";
        break;
    }
    if (FAILED(error)) {
        wchar_t code[32];
        std::swprintf(code, std::size(code), L"\n(error 0x%08lX)",
                      static_cast<unsigned long>(error));
        text += code;
    }
    return text;
}
