#include "installer/InstallThread.h"

#include "installer/VKPM200_InstallerDlg.h"
#include "platform/Os.h"
#include "support/OsClassification.h"
#include "ui/MessageBox.h"

namespace vkp {

namespace {

// Windows releases before 2000 (the 9x family, NT 4 and older) are refused.
void RefuseUnsupportedSystem(const InstallerDlg& dialog) {
  if (dialog.nOSVersion >= kOsWin2000) return;
  ui::ShowMessageBox("THE DRIVER CAN NOT BE INSTALLED ON THIS OS.", MB_OK | MB_ICONINFORMATION);
  Os().ExitProcess(0);
}

}  // namespace

unsigned __stdcall InstallThread(void* parameter) {
  auto& dialog = *static_cast<InstallerDlg*>(parameter);
  RefuseUnsupportedSystem(dialog);
  Os().ExitProcess(0);
  return 0;
}

}  // namespace vkp
