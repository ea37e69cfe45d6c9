// The program's entry. The guard is constructed before the application object
// and destroyed after it, so the mutex lives as long as the program.
#include "app/App.h"
#include "framework/Gdi.h"
#include "repair/SourceView.h"

CSingleInstanceGuard g_singleInstanceGuard;
CDravix_Video_RecoveryApp theApp(&g_singleInstanceGuard);

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // At a display scale other than 100 % the first page's pictures are
    // decoded while the window is being made, rather than in its first paint.
    const fw::PicturePrefetch pictures(CDravix_Video_RecoveryView::Pictures());
    return fw::RunApplication();
}
