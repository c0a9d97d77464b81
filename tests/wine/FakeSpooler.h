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
  FakeSpooler(const FakeSpooler&) = delete;
  FakeSpooler& operator=(const FakeSpooler&) = delete;

  // Drivers and processors listed per environment ("" for this program's
  // own, "Windows NT x86"), and the monitors listed.
  std::map<std::string, std::set<std::string>> drivers, processors;
  std::set<std::string> monitorsListed;
  std::set<std::string> printers;  // names OpenPrinterA finds
  // Where printui registers the driver, its monitor and processor when it
  // runs ("" = it installs nothing), and whether it adds the printer too.
  std::string printUiInstallsIn = "Windows x64";
  bool printUiAddsPrinter = true;
  // The model as an earlier installation left it: driver, monitor, processor
  // and, unless that run ended before making it, its uninstall entry (in
  // the clone's registry, naming this program as the uninstaller; removed
  // again at destruction).
  void InstallModel(const std::string& environment, bool uninstallEntry = true);
  ~FakeSpooler();
  DWORD waitResult = WAIT_OBJECT_0;

  std::vector<std::string> openedNames;  // every name OpenPrinterA was asked for
  std::vector<std::string> commandLines;      // printui starts
  std::vector<std::string> programs;          // their application names
  std::vector<std::string> startDirectories;  // and current directories
  std::vector<std::string> spoolerCommands;   // "net start spooler", ...
  std::vector<STARTUPINFOA> startups;
  std::vector<MONITOR_INFO_2A> monitors;  // pointers valid only during the call
  std::vector<std::string> monitorNames, monitorEnvironments, monitorDlls;
  std::vector<std::string> processorCalls;  // "environment|path|name"
  std::vector<CapturedDriver> addedDrivers;
  std::vector<CapturedPrinter> addedPrinters;   // through AddPrinterA
  std::vector<CapturedPrinter> listedPrinters;  // what EnumPrintersA lists (printui's too)
  std::vector<std::vector<BYTE>> xcvInputs;
  std::vector<std::pair<std::string, std::string>> copies;  // source, target
  std::string oemInf = "C:\\windows\\inf\\oem7.inf";
};

}  // namespace vkp::test
