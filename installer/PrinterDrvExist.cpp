#include "installer/InstallEngine.h"
#include "support/DriverPresence.h"
#include "support/TraceLog.h"

namespace vkp {

int InstallEngine::PrinterDrvExist(const char* name) {
  WriteTraceLog("\r\n");
  WriteTraceLog("PrinterDrvExist BEGIN");
  ReportStep("Checking existing drivers...\r\n");

  // On 64-bit Windows the model is installed for "Windows x64", which this
  // 32-bit program's own environment does not show.
  const bool exists = PrinterDriverListed(name, nullptr) || (bIs64Bit && PrinterDriverListed(name, kEnvironmentX64));
  WriteTraceLog(exists ? "%s PRINTER DRIVER EXISTS." : "%s PRINTER DRIVER DOES NOT EXIST.", name);
  WriteTraceLog("PrinterDrvExist END");
  return exists ? 1 : 0;
}

}  // namespace vkp
