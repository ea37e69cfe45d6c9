// A processing engine that the program only requires to be present beside it.
// Run on its own it states its name and version.
#include "version.h"

#include <cwchar>

int wmain() {
    std::fwprintf(stdout, L"%ls " DRAVIX_VERSION_TEXT L" - Dravix Video Repair engine\n",
                  ENGINE_NAME);
    return 0;
}
