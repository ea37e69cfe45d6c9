// The package's clean-up when the program is removed: the temporary files a
// repair cut short left in the program's folder go, by the program's own rule,
// and nothing else does. A deferred action sees only CustomActionData, which
// the package sets to that folder.
#include "repair/RepairJob.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

extern "C" __declspec(dllexport) UINT __stdcall RemoveLeftovers(MSIHANDLE install) {
    DWORD length = 0;
    wchar_t none[1] = {};
    if (MsiGetPropertyW(install, L"CustomActionData", none, &length) == ERROR_MORE_DATA) {
        std::wstring folder(++length, L'\0');
        if (MsiGetPropertyW(install, L"CustomActionData", folder.data(), &length) == ERROR_SUCCESS)
            RemoveLeftoverTemporaryFiles(folder.substr(0, length));
    }
    // A file still in use goes with its handle; removing the program goes on.
    return ERROR_SUCCESS;
}
