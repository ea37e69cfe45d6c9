#include "app/App.h"

void CDravix_Video_RecoveryApp::OnAppAbout() {}
