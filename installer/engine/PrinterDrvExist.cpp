#include "installer/InstallEngine.h"
#include "support/DriverPresence.h"
#include "support/TraceScope.h"

namespace vkp {

int InstallEngine::PrinterDrvExist(const char* name) {
  TraceScope trace("PrinterDrvExist");
  ReportStep("Checking existing drivers...\r\n");
  // Only the installation's own environment counts: printui's /u takes a
  // driver of another architecture for none and would fail.
  return ModelDriverListedIn(name, strEnvironment.c_str()) ? 1 : 0;
}

}  // namespace vkp
