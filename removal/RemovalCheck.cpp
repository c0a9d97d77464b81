// Whether a removal really removed what it was asked to: the exit code a
// deployment tool reads depends on it, and the steps themselves never stop
// on a failure.
#include <cstring>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "removal/RemovalEngine.h"
#include "resources/ModelStringIds.h"
#include "support/DriverPresence.h"
#include "support/SpoolerEnum.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

bool RemovalEngine::CheckFullyRemoved() {
  TraceScope trace("CheckRemoved");
  bool removed = true;
  auto left = [&removed](const char* what, const std::string& name) {
    WriteTraceLog("STILL INSTALLED : %s %s", what, name.c_str());
    removed = false;
  };
  const std::string driver = Load(IDS_MODEL_DISPLAY_NAME);
  for (const char* environment : Environments()) {
    if (PrinterDriverListed(driver.c_str(), environment))
      left("printer driver", driver + " (" + (environment != nullptr ? environment : kEnvironmentX86) + ")");
  }
  const std::string monitor = Load(IDS_MONITOR_NAME);
  if (MonitorStillInstalled(monitor.c_str())) left("language monitor", monitor);
  const std::string processor = Load(IDS_PROCESSOR_NAME);
  if (ProcessorStillInstalled(processor.c_str())) left("print processor", processor);
  const SpoolerList printers = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < printers.count; ++i) {
    const PRINTER_INFO_2A& printer = printers.Items<PRINTER_INFO_2A>()[i];
    if (printer.pDriverName != nullptr && printer.pPrinterName != nullptr && driver == printer.pDriverName)
      left("printer", printer.pPrinterName);
  }
  const std::string uninstallKey = Load(IDS_UNINSTALL_KEY);
  if (MachineKeyExists(uninstallKey.c_str())) left("uninstall entry", uninstallKey);
  return removed;
}

bool RemovalEngine::PartsLeftWithoutTheDriver() {
  const std::string driver = Load(IDS_MODEL_DISPLAY_NAME);
  for (const char* environment : Environments())
    if (DriverRegisteredIn(environment, driver.c_str())) return true;
  const std::string monitor = Load(IDS_MONITOR_NAME);
  const std::string processor = Load(IDS_PROCESSOR_NAME);
  return MonitorStillInstalled(monitor.c_str()) || ProcessorStillInstalled(processor.c_str()) || ModelInfInStore();
}

bool RemovalEngine::CheckPrintersRemoved(const std::vector<std::string>& names) {
  bool removed = true;
  for (const std::string& name : names) {
    UniquePrinter printer;
    if (Os().OpenPrinterA(const_cast<char*>(name.c_str()), printer.put(), nullptr)) {
      WriteTraceLog("STILL INSTALLED : printer %s", name.c_str());
      removed = false;
    }
  }
  return removed;
}

}  // namespace vkp::removal
