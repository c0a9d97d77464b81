// What a finished installation must have left, checked from the spooler and
// the registry rather than from the steps' own results: a step may report
// success (printui always does) and leave nothing behind.
#include <string>

#include "installer/InstallEngine.h"
#include "installer/engine/PortCodes.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/DriverPresence.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

namespace {

constexpr char kPrintKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\";

bool MachineKeyExists(const std::string& key, bool is64Bit) {
  UniqueRegKey opened;
  const REGSAM access = KEY_READ | (is64Bit ? KEY_WOW64_64KEY : 0);
  return Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, access, opened.put()) == ERROR_SUCCESS;
}

}  // namespace

bool InstallEngine::CheckInstalled(int portCode) {
  TraceScope trace("CheckInstalled");
  bool complete = true;
  auto missing = [&complete](const char* what, const std::string& name) {
    WriteTraceLog("NOT INSTALLED : %s %s", what, name.c_str());
    complete = false;
  };
  if (!PrinterDriverListed(strModelName.c_str(), strEnvironment.c_str()))
    missing("printer driver", strModelName + " (" + strEnvironment + ")");
  // A spooler may list fewer monitors and processors than its registry holds.
  if (!PrintMonitorListed(strMonitorName.c_str()) && !MachineKeyExists(kPrintKey + ("Monitors\\" + strMonitorName), bIs64Bit))
    missing("language monitor", strMonitorName);
  if (!PrintProcessorListed(strProcessorName.c_str(), strEnvironment.c_str()) &&
      !MachineKeyExists(kPrintKey + ("Environments\\" + strEnvironment + "\\Print Processors\\" + strProcessorName),
                        bIs64Bit))
    missing("print processor", strProcessorName + " (" + strEnvironment + ")");
  // A USB printer object comes with Plug and Play, once the printer is switched on.
  if (portCode != kPortUsb) {
    const std::string port = PrinterPortName(portCode, strIPAddress);
    if (!PrinterOfDriverOnPort(strModelName.c_str(), port.c_str())) missing("printer on port", port);
  }
  return complete;
}

}  // namespace vkp
