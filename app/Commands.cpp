// Commands whose work lands with later pages; they exist so the menu routes them.
#include "app/App.h"

void CDravix_Video_RecoveryApp::OnAddFile() {}
void CDravix_Video_RecoveryApp::OnRepair() {}
void CDravix_Video_RecoveryApp::RepairJob() {}
void CDravix_Video_RecoveryApp::OnSaveCommand() {}
void CDravix_Video_RecoveryApp::OnAppAbout() {}
