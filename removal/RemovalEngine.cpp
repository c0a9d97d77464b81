#include "removal/RemovalEngine.h"

#include <cstring>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "resources/ModelStringIds.h"
#include "support/BoundedText.h"
#include "support/DriverPresence.h"
#include "support/PathSize.h"
#include "support/RegistryKeyRemoval.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/ProgressReport.h"
#include "ui/SystemText.h"

namespace vkp::removal {

void RemovalEngine::ReportStep(const char* text, bool stepBar, DWORD pauseMs) {
  ui::ReportProgress(&host_.message, &host_.progress, text, stepBar ? ui::BarChange::Step : ui::BarChange::None,
                     pauseMs);
}

void RemovalEngine::ReportDone(DWORD pauseMs) {
  ui::ReportProgress(&host_.message, &host_.progress, "The uninstallation has been completed.", ui::BarChange::End,
                     pauseMs);
}

std::string RemovalEngine::Load(UINT id) {
  host_.strWork = ui::LoadResourceString(id);
  return host_.strWork;
}

std::vector<const char*> RemovalEngine::Environments() const {
  if (host_.bIs64Bit) return {nullptr, kEnvironmentX64};
  return {nullptr};
}

std::string RemovalEngine::EnvironmentKey(const char* environment) {
  return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
         (environment != nullptr ? environment : kEnvironmentX86);
}

std::string RemovalEngine::DriverKey(const char* environment, const char* driverName) {
  return EnvironmentKey(environment) + "\\Drivers\\Version-3\\" + driverName;
}

std::string RemovalEngine::ProcessorKey(const char* environment, const char* processorName) {
  return EnvironmentKey(environment) + "\\Print Processors\\" + processorName;
}

bool RemovalEngine::DriverRegisteredIn(const char* environment, const char* driverName) {
  const Listing listing = PrinterDriverListing(driverName, environment);
  if (listing != Listing::NotListed) return true;  // listed, or the spooler could not say
  return MachineKeyExists(DriverKey(environment, driverName).c_str());
}

bool RemovalEngine::ProcessorRegisteredIn(const char* environment, const char* processorName) {
  const Listing listing = PrintProcessorListing(processorName, environment);
  if (listing != Listing::NotListed) return true;
  // A spooler may list fewer processors than its registry holds.
  return MachineKeyExists(ProcessorKey(environment, processorName).c_str());
}

bool RemovalEngine::MachineValueIs(const char* key, const char* valueName, const char* expected) {
  UniqueRegKey opened;
  const REGSAM access = KEY_READ | (host_.bIs64Bit ? KEY_WOW64_64KEY : 0);
  if (Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, access, opened.put()) != ERROR_SUCCESS) return false;
  char value[kPathSize] = "";
  DWORD type = 0;
  DWORD size = sizeof value - 1;
  if (Os().RegQueryValueExA(opened.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  value[size < sizeof value ? size : sizeof value - 1] = '\0';
  return std::strcmp(value, expected) == 0;
}

bool RemovalEngine::DeleteMachineKey(const char* key) {
  if (host_.bIs64Bit) {
    if (MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0) != ERROR_SUCCESS) {
      WriteTraceLog("MyRegDeleteKeyEx failed : %s (%d) ", key, static_cast<int>(Os().GetLastError()));
      return false;
    }
    return true;
  }
  if (Os().SHDeleteKeyA(HKEY_LOCAL_MACHINE, key) != ERROR_SUCCESS) {
    WriteTraceLog("SHDeleteKey failed : %s (%d) ", key, static_cast<int>(Os().GetLastError()));
    return false;
  }
  return true;
}

bool RemovalEngine::MachineKeyExists(const char* key) {
  UniqueRegKey opened;
  const REGSAM access = KEY_READ | (host_.bIs64Bit ? KEY_WOW64_64KEY : 0);
  return Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, access, opened.put()) == ERROR_SUCCESS;
}

void RemovalEngine::DeleteFileIn(const char* directory, const char* separator, const char* file) {
  char path[kPathSize] = "";
  CopyBounded(path, directory);
  AppendBounded(path, separator);
  AppendBounded(path, file);
  if (!Os().DeleteFileA(path)) LogDeleteFileError(path, Os().GetLastError());
}

void RemovalEngine::RemoveFromOS() {
  const bool installer = !IsUninstaller();
  if (installer) {
    WriteTraceLog("\r\n");
    WriteTraceLog("RemoveFromOS BEGIN");
  }
  char modelName[kPathSize] = "";
  CopyBounded(modelName, Load(IDS_MODEL_NAME).c_str());

  DeleteForms();
  DeletePrinterDrv(modelName);
  DeleteLanguageMonitor();
  DeleteProcessor();
  DeleteDriverComponent();
  DeleteINFFile();
  DeleteUninstallationInfo(modelName);

  if (installer) WriteTraceLog("RemoveFromOS END");
}

void RemovalEngine::RemoveDrivers() {
  TraceScope trace("RemoveDrivers");
  ReportStep("Removing printer-driver...", true, 1000);
  RemoveFromOS();
  DeleteVidPid();
  Delete_USB_Info();
  DeletePrnDrvPnPDirectory();
  ReportDone(1000);
}

}  // namespace vkp::removal
