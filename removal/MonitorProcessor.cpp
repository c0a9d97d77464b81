// The model's language monitor and print processor, with their DLLs.
#include <cstring>
#include <string>

#include "platform/Os.h"
#include "removal/RemovalEngine.h"
#include "resources/ModelStringIds.h"
#include "support/PathSize.h"
#include "support/SystemPrograms.h"
#include "support/SpoolerEnum.h"
#include "support/BoundedText.h"
#include "support/DriverPresence.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

namespace {

constexpr DWORD kUnknownPrintMonitor = 3000;
constexpr char kMonitorsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

}  // namespace

bool RemovalEngine::MonitorStillInstalled(const char* monitorName) {
  if (PrintMonitorListed(monitorName)) return true;
  // The spooler's registration is the key; a spooler may list less than it holds.
  char key[kPathSize] = "";
  CopyBounded(key, kMonitorsKey);
  AppendBounded(key, monitorName);
  return MachineKeyExists(key);
}

bool RemovalEngine::ProcessorStillInstalled(const char* processorName) {
  for (const char* environment : Environments()) {
    if (PrintProcessorListed(processorName, environment)) return true;
    if (MachineKeyExists(ProcessorKey(environment, processorName).c_str())) return true;
  }
  return false;
}

void RemovalEngine::DeleteLanguageMonitor() {
  TraceScope trace("DeleteLanguageMonitor");
  const bool uninstaller = IsUninstaller();
  if (uninstaller) ReportStep("Deleting L/M...", false, 100);

  char monitorName[kPathSize] = "";
  CopyBounded(monitorName, Load(IDS_MONITOR_NAME).c_str());
  BOOL deleted = Os().DeleteMonitorA(nullptr, nullptr, monitorName);
  if (!deleted && uninstaller && Os().GetLastError() == RPC_S_SERVER_UNAVAILABLE) {
    // The spooler is not running: start it once and ask again.
    StartSpoolerAndWait();
    deleted = Os().DeleteMonitorA(nullptr, nullptr, monitorName);
  }

  bool takeOutOfRegistry = false;
  if (!deleted) {
    const DWORD error = Os().GetLastError();
    WriteTraceLog("DeleteMonitor Error : (%d)", static_cast<int>(error));
    if (error == kUnknownPrintMonitor)
      WriteTraceLog("The specified print monitor is unknown or not installed on this system.");
    takeOutOfRegistry = true;
  } else if (MonitorStillInstalled(monitorName)) {
    WriteTraceLog("DeleteMonitor succeeded but the monitor is still installed : %s", monitorName);
    takeOutOfRegistry = true;
  }
  if (takeOutOfRegistry) {
    char key[kPathSize] = "";
    CopyBounded(key, kMonitorsKey);
    AppendBounded(key, monitorName);
    DeleteMachineKey(key);
  }

  char dll[kPathSize] = "";
  CopyBounded(dll, Load(IDS_MONITOR_DLL).c_str());
  char directory[kPathSize] = "";
  if (Os().GetSystemDirectoryA(directory, kPathSize) != 0)
    DeleteFileIn(directory, "\\", dll);
  else
    WriteTraceLog("GetSystemDirectory failed. (%d) %s not deleted there", static_cast<int>(Os().GetLastError()), dll);

  if (host_.bIs64Bit) {
    char wow64Directory[kPathSize] = "";
    if (Os().GetSystemWow64DirectoryA(wow64Directory, kPathSize) != 0)
      DeleteFileIn(wow64Directory, "\\", dll);
    char windowsDirectory[kPathSize] = "";
    if (Os().GetWindowsDirectoryA(windowsDirectory, kPathSize) != 0) {
      DeleteFileIn(windowsDirectory, "\\", dll);
      // A 64-bit monitor installed by the system lives in the native system
      // directory, which this 32-bit program reaches only through Sysnative.
      DeleteFileIn(windowsDirectory, "\\Sysnative\\", dll);
    } else
      WriteTraceLog("GetWindowsDirectory failed. (%d) %s not deleted there", static_cast<int>(Os().GetLastError()),
                    dll);
  }
}

void RemovalEngine::DeleteProcessor() {
  TraceScope trace("DeleteProcessor");
  const bool uninstaller = IsUninstaller();
  if (uninstaller) ReportStep("Deleting the processor...", false, 100);

  char processorName[kPathSize] = "";
  CopyBounded(processorName, Load(IDS_PROCESSOR_NAME).c_str());
  bool deleted = true;
  bool retried = false;
  DWORD error = 0;
  for (const char* environment : Environments()) {
    char* env = const_cast<char*>(environment);
    BOOL done = Os().DeletePrintProcessorA(nullptr, env, processorName);
    if (!done && uninstaller && !retried && Os().GetLastError() == RPC_S_SERVER_UNAVAILABLE) {
      retried = true;
      StartSpoolerAndWait();
      done = Os().DeletePrintProcessorA(nullptr, env, processorName);
    }
    if (done) continue;
    const DWORD failure = Os().GetLastError();
    // An environment the model was never registered in had nothing to delete.
    if (failure == ERROR_UNKNOWN_PRINTPROCESSOR || !ProcessorRegisteredIn(environment, processorName)) continue;
    deleted = false;
    error = failure;
  }

  bool takeOutOfRegistry = false;
  if (!deleted) {
    WriteTraceLog("DeleteMonitor Error : (%d)", static_cast<int>(error));
    takeOutOfRegistry = true;
  } else if (ProcessorStillInstalled(processorName)) {
    WriteTraceLog("DeletePrintProcessor succeeded but the processor is still installed : %s", processorName);
    takeOutOfRegistry = true;
  }
  if (takeOutOfRegistry) {
    for (const char* environment : Environments()) {
      const std::string key = ProcessorKey(environment, processorName);
      if (MachineKeyExists(key.c_str())) DeleteMachineKey(key.c_str());
    }
  }

  char dll[kPathSize] = "";
  CopyBounded(dll, Load(IDS_PROCESSOR_DLL).c_str());
  for (const char* environment : Environments()) {
    char directory[kPathSize] = "";
    DWORD needed = 0;
    if (Os().GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(environment), 1,
                                         reinterpret_cast<BYTE*>(directory), kPathSize, &needed)) {
      DeleteFileIn(directory, "\\", dll);
    } else {
      WriteTraceLog("GetPrintProcessorDirectory failed. (%d) %s not deleted there",
                    static_cast<int>(Os().GetLastError()), dll);
    }
  }
}

}  // namespace vkp::removal
