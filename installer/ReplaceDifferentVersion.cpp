#include "installer/VKPM200_InstallerDlg.h"
#include "installer/engine/InstallExitCodes.h"
#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

// A different version is installed. Its removal comes with the removal
// engine, which this build does not contain: nothing is touched, and the run
// ends as a failed installation.
void InstallerDlg::ReplaceDifferentVersion() {
  WriteTraceLog("The replacement of a different version is not available in this build.");
  Os().ExitProcess(kExitInstallFailed);
}

}  // namespace vkp
