// The benchmarks' large source file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Writes `bytes` of noise to `path` and flushes it to the disk, so that no
// timed run pays for writing it; false on failure.
inline bool WriteSampleFile(const std::wstring& path, ULONGLONG bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<BYTE> block(1 << 20);
    unsigned value = 12345;
    for (BYTE& b : block) {
        value = value * 1103515245u + 12345u;
        b = static_cast<BYTE>(value >> 16);
    }
    bool ok = true;
    for (ULONGLONG done = 0; ok && done < bytes; done += block.size()) {
        DWORD written = 0;
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
             written == block.size();
    }
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    return ok;
}
