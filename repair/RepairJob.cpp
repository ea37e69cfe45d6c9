#include "app/App.h"

void CDravix_Video_RecoveryApp::OnRepair() {}
void CDravix_Video_RecoveryApp::RepairJob() {}
