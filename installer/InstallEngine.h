// The installation engine: the state that the installation steps share, and
// the steps themselves as its operations. Owned by the progress dialog.
#pragma once

#include <string>

#include "platform/WinHeaders.h"

#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp {

class InstallEngine {
 public:
  InstallEngine();
  virtual ~InstallEngine();
  InstallEngine(const InstallEngine&) = delete;
  InstallEngine& operator=(const InstallEngine&) = delete;

  void SetSystemInfo(int is64Bit, int osVersion);
  void SetControlPointers(ui::SharedText& message, ui::ProgressBar& progress);

  // Progress reporting: the message, one bar step, a refresh of the dialog,
  // then (with `pause`) 500 ms.
  void ReportStep(const char* text, bool pause = true);
  // The message, the bar at its end, a refresh; no pause.
  void ReportFinal(const char* text);

  // 1 when a printer driver of exactly this name is installed, else 0.
  int PrinterDrvExist(const char* name);

  // Installation sequences (printui on Vista and later, direct spooler calls
  // before). Each returns the exit code its outcome calls for.
  unsigned AddToWin2KWithWHQL(int portCode);
  unsigned AddToWin2K(int portCode);
  // True when the driver, the monitor, the processor and (unless USB) a
  // printer of the model on the port are all installed; traces what is not.
  bool CheckInstalled(int portCode);
  // The failure of an installation that did not complete: box, trace, exit code.
  unsigned ReportNotInstalled();

  // Package check, before anything uses the package: copies the files this
  // run needs (the INF, this architecture's driver files, the uninstaller)
  // into a folder only the administrators can change, checks every copy
  // there against the digest the installer carries, and points strSourceDir
  // and strDriverDir at the copy. False (box, trace, the copy removed) when
  // a file is missing or differs, or the installer carries no list.
  bool StagePackage();
  // Removes the checked copy; nothing when there is none.
  void RemoveStagedPackage();
  // Ends the run: the checked copy removed, then the process with exitCode.
  void EndRun(unsigned exitCode);
  // The closing question and what its answer leads to, as an exit code.
  unsigned CloseInstallation(int portCode);

  // Spooler registration.
  void SetEthernetPort(const std::string& ipAddress, int portNumber);
  void AddEthernetPort();
  int AddLanguageMonitor();
  int AddPrinterProcessor();
  int AddPrinterDriverToSystem();
  int AddPrinterToSystem(int portCode, const std::string& printerName);

  // File staging.
  void CopyFilesNeededToAddPrnDrv();
  void CopyFilesOfUtilities();
  int CreateDirectoryWithSA(const char* path);
  bool CopyFileErrorHandler(const char* source, const char* target, DWORD errorCode);

  // Uninstall registration, INF store, and what earlier installations left.
  void RegisterUninstallInfo();
  // With the driver already there: registers the uninstall entry and copies
  // the uninstaller again when an earlier run ended before it did either.
  void CompleteUninstallRegistration();
  // The entry has its last value and the uninstaller it names exists.
  bool UninstallEntryWhole();
  void CopyINFFile();
  int INFFileExist(const std::string& section, const std::string& key);
  void DeleteVidPid();
  void DeletePrnDrvPnPDirectory();
  void Delete_USB_Info();
  void DeleteFilesUsed();

  // The printer-driver and print-processor directories of strEnvironment;
  // false (with a trace line) when the spooler cannot tell.
  bool DriverDirectory(char (&directory)[256]);
  bool ProcessorDirectory(char (&directory)[256]);

  // What the dialog, its flow and the tests read or set: the platform, the
  // port's address, the folders and the model's names.
  int nOSVersion = 0;
  std::string strIPAddress;
  std::string strEnvironment;
  // Where the package is read from, with a trailing backslash: the
  // installer's folder ("" when unknown), after StagePackage its checked copy.
  std::string strSourceDir;
  std::string strDriverDir;
  // The installer's folder, where the user's configuration file stays.
  std::string strConfigDir;
  // The package's digest list; empty: the one the installer carries.
  std::string strPackageDigests;
  std::string strMaker;
  std::string strModelName;
  std::string strINFName;
  std::string strMonitorName;
  std::string strProcessorDLL;
  bool bUseOwnProcessor = true;

 private:
  // "Driver64" or "Driver32": this run's folder of driver files.
  const char* DriverFolderName() const { return bIs64Bit ? "Driver64" : "Driver32"; }
  unsigned ReportPackageDamaged(const std::string& file, const char* traceText);

  int bIs64Bit = 0;
  int nPortNumber = 0;
  std::string strStagedDir;  // the checked copy of the package ("" when none)
  std::string strWork;
  ui::SharedText* pMessage = nullptr;
  ui::ProgressBar* pProgress = nullptr;
  std::string strMonitorDLL;
  std::string strProcessorName;
  std::string strDriverDLL;
  std::string strUIDLL;
  std::string strUniDLL;
};

}  // namespace vkp
