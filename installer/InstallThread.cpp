#include "installer/InstallThread.h"

#include "installer/ConfigFile.h"
#include "support/ExitCodes.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "installer/pure/ConfigRules.h"
#include "platform/Os.h"
#include "support/OsClassification.h"
#include "support/TraceLog.h"
#include "support/ProtectedPrintMode.h"
#include "ui/Deployment.h"
#include "ui/MessageBox.h"

namespace vkp {

namespace {

// Windows releases before 2000 (the 9x family, NT 4 and older) are refused.
void RefuseUnsupportedSystem(const InstallerDlg& dialog) {
  if (dialog.nOSVersion >= kOsWin2000) return;
  ui::ShowMessageBox("THE DRIVER CAN NOT BE INSTALLED ON THIS OS.", MB_OK | MB_ICONINFORMATION);
  Os().ExitProcess(kExitInstallFailed);
}

// Windows 11's protected print mode admits no third-party driver: refused
// before anything is changed rather than left half-installed.
void RefuseProtectedPrintMode() {
  if (!ProtectedPrintModeOn()) return;
  WriteTraceLog("PROTECTED PRINT MODE : ON");
  ui::ShowMessageBox(
      "Windows protected print mode is on. It does not allow this printer driver.\r\n\r\n"
      "Nothing was installed.",
      MB_OK | MB_ICONERROR);
  Os().ExitProcess(kExitInstallFailed);
}

}  // namespace

unsigned __stdcall InstallThread(void* parameter) {
  auto& dialog = *static_cast<InstallerDlg*>(parameter);
  RefuseUnsupportedSystem(dialog);
  RefuseProtectedPrintMode();

  dialog.bInstalling = 1;
  char portDialog[kConfigValueSize] = {};
  unsigned exitCode = kExitSuccess;
  if (dialog.switches.portType >= 0) {
    exitCode = dialog.InstallWithSwitchPort();
  } else if (PortDialogRequested(GetDriverInfoFromFile(kConfigSection, "PORTDLG", portDialog, sizeof portDialog))) {
    if (ui::CurrentDeployment().Unattended()) {
      // Nobody can answer the port dialog: nothing is installed.
      WriteTraceLog("NO PORT : give /port=COM1|COM2|COM3|COM4|USB|WLAN or a configuration file");
      exitCode = kExitInstallFailed;
    } else {
      exitCode = dialog.InstallWithPortDialog();
    }
  } else {
    exitCode = dialog.InstallWithConfiguredPort();
  }
  dialog.bInstalling = 0;
  dialog.engine.EndRun(exitCode);
  return 0;
}

}  // namespace vkp
