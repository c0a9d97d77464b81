// The removal steps: each takes one part of the model's driver out of
// Windows and writes its own trace entries; none stops the sequence that
// runs it. The host decides which program's copy runs (see RemovalHost.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/WinHeaders.h"
#include "removal/RemovalHost.h"
#include "support/PinnedFolder.h"

namespace vkp::removal {

class RemovalEngine {
 public:
  explicit RemovalEngine(RemovalHost& host) : host_(host) {}

  // Progress: the text, optionally one bar step, the refresh message, a
  // pause (0: none).
  void ReportStep(const char* text, bool stepBar, DWORD pauseMs);
  // The final report: completion text, bar at 100, refresh, pause.
  void ReportDone(DWORD pauseMs);

  // Printer objects, driver, forms.
  void RemovePrinterObjects();
  void DeletePrinterObject(const char* printerName);
  void CancelPrinterJobs(HANDLE printer);
  int DeletePrinterDrv(const char* modelName);
  void DeleteForms();

  // Language monitor and print processor.
  void DeleteLanguageMonitor();
  void DeleteProcessor();

  // Files and directories. The installer's copy of DeleteDriverComponent
  // traces as "DeleteFilesUsed".
  void DeleteDriverComponent();
  void DeleteFilesUsed() { DeleteDriverComponent(); }
  void DeletePrnDrvPnPDirectory();
  void DeleteInstalledDirectory();
  // What the installation itself put in place: the installation directory
  // with the uninstaller, and the configuration file in the system
  // directory. What is in use now goes at the next restart.
  void RemoveInstallationLeftovers();

  // INF store, device database, registry. The installer's copy of
  // Delete_USB_Info traces as "Delete_LPT_USB_Info".
  void DeleteINFFile();
  void DeleteVidPid();
  void Delete_USB_Info();
  void Delete_LPT_USB_Info() { Delete_USB_Info(); }
  int DeleteUninstallationInfo(const char* modelName);
  void DeleteUninstallInfoFromReg();

  // The core that both programs run, and the installer's sequence after
  // its printers are gone.
  void RemoveFromOS();
  void RemoveDrivers();

  // After a full removal: true when no driver of the model (in any
  // environment), monitor, processor, printer or uninstall entry is left.
  bool CheckFullyRemoved();
  // Before a removal, with no driver of the model listed: true when its
  // registration, monitor or processor is still there (a removal that was
  // ended half-way), so that the full removal takes the rest.
  bool PartsLeftWithoutTheDriver();
  // An OEM INF of the store lists the model.
  bool ModelInfInStore();
  // After a partial removal: true when none of these printers is left.
  bool CheckPrintersRemoved(const std::vector<std::string>& names);

  RemovalHost& Host() { return host_; }

 private:
  bool IsUninstaller() const { return host_.variant == Variant::Uninstaller; }
  // A string resource, loaded through the host's work string.
  std::string Load(UINT id);
  // The spooler environments a step covers: the default one, and on 64-bit
  // systems also "Windows x64", where the installation registers the model.
  std::vector<const char*> Environments() const;
  // Registry keys of an environment (nullptr: this program's own).
  static std::string EnvironmentKey(const char* environment);
  static std::string DriverKey(const char* environment, const char* driverName);
  static std::string ProcessorKey(const char* environment, const char* processorName);
  // Whether the model's driver or processor is registered in an environment:
  // listed by the spooler or held in its registry. An environment the
  // spooler cannot be asked about counts as holding it.
  bool DriverRegisteredIn(const char* environment, const char* driverName);
  bool ProcessorRegisteredIn(const char* environment, const char* processorName);
  // True when HKLM\key holds the string value `valueName` equal to `expected`.
  bool MachineValueIs(const char* key, const char* valueName, const char* expected);
  // Deletes a key under HKEY_LOCAL_MACHINE in the system's view; traces a
  // failure. True on success.
  bool DeleteMachineKey(const char* key);
  bool MachineKeyExists(const char* key);
  bool MonitorStillInstalled(const char* monitorName);
  bool ProcessorStillInstalled(const char* processorName);
  // Why a folder some user may have made must be left alone (a link, or not
  // owned by the administrators or SYSTEM); nullptr when it may go. Both
  // folders are pinned by the caller until the deletion is done.
  const char* FolderRefusal(const PinnedFolder& parent, const PinnedFolder& folder);
  // Deletes directory + separator + file; traces a failure.
  void DeleteFileIn(const char* directory, const char* separator, const char* file);

  // The section that lists the model in an INF of the store ("NORVEKA", on
  // 64-bit systems "NORVEKA.NTamd64").
  std::string ModelInfSection();
  // Calls found(name, wide name, path) for each OEM INF of the store that
  // lists `key` in `section`.
  void ForEachModelInf(const char* section, const char* key, bool traceFailures,
                       const std::function<void(const char*, const wchar_t*, const char*)>& found);
  RemovalHost& host_;
};

}  // namespace vkp::removal
