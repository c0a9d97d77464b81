#include <string>

#include "installer/InstallEngine.h"
#include "installer/engine/ClosingQuestion.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/ExitCodes.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "ui/MessageBox.h"

namespace vkp {

namespace {
// The model's name, or with "(#n)" appended, whichever is not taken yet.
std::string UniquePrinterName(const std::string& model) {
  std::string name = model;
  for (int n = 0;;) {
    UniquePrinter existing;
    if (!Os().OpenPrinterA(const_cast<char*>(name.c_str()), existing.put(), nullptr)) return name;
    ++n;
    name = model + "(#" + std::to_string(n) + ")";
  }
}
}  // namespace

unsigned InstallEngine::AddToWin2K(int portCode) {
  WriteTraceLog("\r\n");
  WriteTraceLog("AddToWin2K BEGIN");
  const bool driverPresent = PrinterDrvExist(strModelName.c_str()) != 0;
  ReportStep("Preparing for installation...\r\n");

  const std::string printerName = driverPresent ? UniquePrinterName(strModelName) : strModelName;
  WriteTraceLog("PRINTER-DRIVER NAME TO ADD : %s ", printerName.c_str());

  if (!driverPresent) {
    DeleteVidPid();
    DeletePrnDrvPnPDirectory();
    Delete_USB_Info();
    CopyFilesNeededToAddPrnDrv();
    AddLanguageMonitor();
    AddPrinterProcessor();
    AddPrinterDriverToSystem();
  }
  AddPrinterToSystem(portCode, printerName);

  if (!driverPresent) {
    CopyINFFile();
    DeleteFilesUsed();
    RegisterUninstallInfo();
    CopyFilesOfUtilities();
  } else {
    // A run that ended after the driver came, before its entry: the steps
    // between are taken now (the INF into the store, the staged copies out
    // of the driver directory), as the printui path copies its INF again.
    if (!UninstallEntryWhole()) {
      if (INFFileExist(strMaker, strModelName) == 0) CopyINFFile();
      DeleteFilesUsed();
    }
    CompleteUninstallRegistration();
  }
  // The steps' own results do not say everything (on USB no printer is
  // added at all): the spooler tells what is really installed.
  unsigned exitCode = kExitSuccess;
  if (!CheckInstalled(portCode)) {
    exitCode = ReportNotInstalled();
  } else if (!driverPresent) {
    RemoveStagedPackage();  // before a restart can end the process
    ReportFinal("The driver has been successfully installed.");
    exitCode = AskClosingQuestion(portCode, [] { WriteTraceLog("AddToWin2K END"); });
  }

  WriteTraceLog("\r\n");
  WriteTraceLog("AddToWin2K END");
  ReportFinal("Completed.");
  Os().Sleep(2000);
  return exitCode;
}

unsigned InstallEngine::ReportNotInstalled() {
  ui::ShowMessageBox("The printer driver could not be installed.", MB_OK | MB_ICONERROR);
  WriteTraceLog("INSTALLATION FAILED");
  return kExitInstallFailed;
}

}  // namespace vkp
