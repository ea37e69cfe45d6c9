// A processing engine that the program only requires to be present beside it.
// Run on its own it states its name and version.
#include <cwchar>

int wmain() {
    std::fwprintf(stdout, L"%ls 19.0.0.0 - Dravix Video Repair engine\n", ENGINE_NAME);
    return 0;
}
