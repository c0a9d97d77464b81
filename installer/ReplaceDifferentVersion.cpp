#include "installer/VKPM200_InstallerDlg.h"
#include "installer/engine/InstallExitCodes.h"
#include "platform/Os.h"
#include "removal/RemovalHost.h"
#include "removal/RemovalSequences.h"
#include "support/SystemHelpers.h"
#include "ui/MessageBox.h"

namespace vkp {

// A different version is installed: remove it, announce the restart and ask
// for it; this run installs nothing.
void InstallerDlg::ReplaceDifferentVersion() {
  removal::RemovalHost host(removal::Variant::Installer, strMessage, progressBar);
  host.bIs64Bit = bIs64Bit;
  host.nOSVersion = nOSVersion;
  removal::RemoveInstalledDriver(host);

  const std::string done = std::string("The installer has successfully removed the different version.\n") +
                           "Now it is going to restart your computer to take effect." +
                           "\nAfter restarting, you may reinstall the driver again.";
  ui::ShowMessageBox(done.c_str(), MB_OK | MB_ICONINFORMATION);
  RestartWindows();
  Os().ExitProcess(kExitSuccess);
}

}  // namespace vkp
