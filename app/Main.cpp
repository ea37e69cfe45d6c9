// The program's entry. The guard is constructed before the application object
// and destroyed after it, so the mutex lives as long as the program.
#include "app/App.h"

CSingleInstanceGuard g_singleInstanceGuard;
CDravix_Video_RecoveryApp theApp(&g_singleInstanceGuard);

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return fw::RunApplication();
}
