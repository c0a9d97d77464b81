#include "installer/InstallEngine.h"
#include "support/DriverPresence.h"
#include "support/TraceScope.h"

namespace vkp {

int InstallEngine::PrinterDrvExist(const char* name) {
  TraceScope trace("PrinterDrvExist");
  ReportStep("Checking existing drivers...\r\n");
  return ModelDriverListed(name, bIs64Bit != 0) ? 1 : 0;
}

}  // namespace vkp
