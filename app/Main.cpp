// The program's entry. The guard is constructed before the application object
// and destroyed after it, so the mutex lives as long as the program.
#include "app/App.h"
#include "framework/Gdi.h"
#include "framework/Picture.h"
#include "repair/SourceView.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Libraries loaded from now on come from the system folder only, never
    // from the program's folder, where a same-user process could plant one
    // to run with the program's administrator rights.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // At a display scale other than 100 % the first page's pictures are
    // decoded while the window is being made, rather than in its first paint.
    fw::PicturePrefetch pictures(CDravix_Video_RecoveryView::Pictures());
    CSingleInstanceGuard guard;
    CDravix_Video_RecoveryApp theApp(&guard, &pictures);
    return fw::RunApplication(theApp);
}
