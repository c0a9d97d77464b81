// A spooler for in-process tests of the installation steps: registrations
// are recorded instead of reaching Wine's spooler, printui runs instantly and
// may leave the driver behind or not. Lives on top of a FakeOs.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/seam/FakeOs.h"

namespace vkp::test {

struct CapturedDriver {
  std::string name, environment, driverPath, dataFile, configFile, helpFile, monitor, dataType;
  DWORD version = 0;
  std::vector<std::string> dependentFiles;
};

struct CapturedPrinter {
  std::string name, port, driver, processor, dataType;
  DWORD attributes = 0, priority = 0, status = 0;
};

class FakeSpooler {
 public:
  explicit FakeSpooler(FakeOs& os);

  // Drivers listed per environment ("" for this program's own).
  std::map<std::string, std::set<std::string>> drivers;
  std::set<std::string> printers;  // names OpenPrinterA finds
  // Where printui registers the driver when it runs ("" = it installs nothing).
  std::string printUiInstallsIn = "Windows x64";
  DWORD waitResult = WAIT_OBJECT_0;

  std::vector<std::string> openedNames;  // every name OpenPrinterA was asked for
  std::vector<std::string> commandLines;
  std::vector<STARTUPINFOA> startups;
  std::vector<MONITOR_INFO_2A> monitors;  // pointers valid only during the call
  std::vector<std::string> monitorNames, monitorEnvironments, monitorDlls;
  std::vector<std::string> processorCalls;  // "environment|path|name"
  std::vector<CapturedDriver> addedDrivers;
  std::vector<CapturedPrinter> addedPrinters;
  std::vector<std::vector<BYTE>> xcvInputs;
  std::vector<std::pair<std::string, std::string>> copies;  // source, target
  std::string oemInf = "C:\\windows\\inf\\oem7.inf";
};

}  // namespace vkp::test
