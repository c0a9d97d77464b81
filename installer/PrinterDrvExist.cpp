#include <cstring>

#include "installer/EnumBuffer.h"
#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

int InstallEngine::PrinterDrvExist(const char* name) {
  WriteTraceLog("\r\n");
  WriteTraceLog("PrinterDrvExist BEGIN");
  ReportStep("Checking existing drivers...\r\n");

  const EnumResult drivers = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrinterDriversA(nullptr, nullptr, 3, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < drivers.count; ++i) {
    const char* driver = drivers.Items<DRIVER_INFO_3A>()[i].pName;
    if (driver != nullptr && std::strcmp(driver, name) == 0) {
      WriteTraceLog("%s PRINTER DRIVER EXISTS.", name);
      WriteTraceLog("PrinterDrvExist END");
      return 1;
    }
  }
  WriteTraceLog("%s PRINTER DRIVER DOES NOT EXIST.", name);
  WriteTraceLog("PrinterDrvExist END");
  return 0;
}

}  // namespace vkp
