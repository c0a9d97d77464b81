#include <string>
#include <vector>

#include "installer/VKPM200_InstallerDlg.h"
#include "platform/Os.h"
#include "removal/RemovalHost.h"
#include "removal/RemovalSequences.h"
#include "resources/InstallerResource.h"
#include "support/DriverPresence.h"
#include "support/ExitCodes.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "ui/Deployment.h"
#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

// What the removal must have taken: the driver in every environment the
// program can see, and the print processor. Traces what is left.
bool DifferentVersionGone(bool is64Bit) {
  const std::string driver = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);
  const std::string processor = ui::LoadResourceString(IDS_PROCESSOR_NAME);
  bool gone = true;
  std::vector<const char*> environments{nullptr};
  if (is64Bit) environments.push_back(kEnvironmentX64);
  for (const char* environment : environments) {
    const char* name = environment != nullptr ? environment : kEnvironmentX86;
    if (PrinterDriverListed(driver.c_str(), environment)) {
      WriteTraceLog("STILL INSTALLED : printer driver %s (%s)", driver.c_str(), name);
      gone = false;
    }
    if (PrintProcessorListed(processor.c_str(), environment)) {
      WriteTraceLog("STILL INSTALLED : print processor %s (%s)", processor.c_str(), name);
      gone = false;
    }
  }
  return gone;
}

}  // namespace

// A different version is installed: remove it, announce the restart and ask
// for it; this run installs nothing.
void InstallerDlg::ReplaceDifferentVersion() {
  removal::RemovalHost host(removal::Variant::Installer, strMessage, progressBar);
  host.bIs64Bit = bIs64Bit;
  host.nOSVersion = nOSVersion;
  removal::RemoveInstalledDriver(host);

  // Asking for a restart is only honest once the old version is really gone.
  if (!DifferentVersionGone(bIs64Bit != 0)) {
    ui::ShowMessageBox("The different version of the printer driver could not be removed.", MB_OK | MB_ICONERROR);
    WriteTraceLog("REMOVAL OF THE DIFFERENT VERSION FAILED");
    engine.EndRun(kExitInstallFailed);
    return;
  }
  // The box announces a restart only when one follows: with restarts left to
  // the caller it asks for one instead.
  const bool restart = ui::MayRestartUnasked();
  const std::string done = std::string("The installer has successfully removed the different version.\n") +
                           (restart ? "Now it is going to restart your computer to take effect."
                                    : "Please restart your computer to take effect.") +
                           "\nAfter restarting, you may reinstall the driver again.";
  ui::ShowMessageBox(done.c_str(), MB_OK | MB_ICONINFORMATION);
  engine.RemoveStagedPackage();  // before the restart can end the process
  engine.EndRun(restart && RestartWindows() != 0 ? kExitRestartStarted : kExitRestartNeeded);
}

}  // namespace vkp
