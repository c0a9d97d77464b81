#include <string>

#include "installer/InstallEngine.h"
#include "support/BoundedText.h"
#include "installer/engine/ClosingQuestion.h"
#include "support/SystemPrograms.h"
#include "support/DriverPresence.h"
#include "support/ExitCodes.h"
#include "installer/engine/PortCodes.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "ui/MessageBox.h"

namespace vkp {

namespace {

constexpr DWORD kPrintUiTimeoutMs = 120000;

// rundll32 is started directly, never through cmd: cmd would first run the
// AutoRun command that the unelevated user keeps in HKCU, and would read &,
// ^ and % in the folder's name. The INF path is always quoted. /h names the
// driver's architecture rather than leaving it to rundll32's own, and /q
// keeps printui's error box away: nobody may be there to close it, and the
// outcome is checked from the spooler afterwards.
std::string PrintUiCommandLine(int portCode, const std::string& model, const std::string& inf,
                               const std::string& port, bool driverPresent, bool is64Bit) {
  char line[1024];
  if (portCode == kPortUsb) {
    FormatBounded(line, sizeof line, "RUNDLL32 printui.dll,PrintUIEntry /ia /m \"%s\" /f \"%s\"", model.c_str(),
                  inf.c_str());
  } else if (portCode == kPortWirelessLan) {
    FormatBounded(line, sizeof line,
                  "RUNDLL32 printui.dll,PrintUIEntry /if /b \"%s\" /f \"%s\" /r \"%s\" /m \"%s\"", model.c_str(),
                  inf.c_str(), port.c_str(), model.c_str());
  } else {
    FormatBounded(line, sizeof line,
                  "RUNDLL32 printui.dll,PrintUIEntry /if /b \"%s\" /f \"%s\" /r \"%s:\" /m \"%s\"", model.c_str(),
                  inf.c_str(), port.c_str(), model.c_str());
  }
  std::string command(line);
  if (driverPresent) command += " /u";
  command += is64Bit ? " /h x64" : " /h x86";
  command += " /q";
  return command;
}

}  // namespace

unsigned InstallEngine::AddToWin2KWithWHQL(int portCode) {
  WriteTraceLog("\r\n");
  WriteTraceLog("AddToWin2KWithWHQL BEGIN");
  const bool driverPresent = PrinterDrvExist(strModelName.c_str()) != 0;
  ReportStep("Preparing for installation...\r\n");
  if (!driverPresent) {
    DeleteVidPid();
    DeletePrnDrvPnPDirectory();
    Delete_USB_Info();
  }
  ReportStep("Installing printer...\r\n");

  // The INF by its full path: printui runs in the system directory.
  const std::string inf = (strSourceDir.empty() ? ".\\" : strSourceDir) + strINFName;
  const std::string command = PrintUiCommandLine(portCode, strModelName, inf, PrintUiPortText(portCode, strIPAddress),
                                                 driverPresent, bIs64Bit != 0);
  ReportStep("Creates a new process \r\n");

  // With the driver there, a printer of it already on the port leaves nothing
  // to add: printui would make a second queue under a generated name.
  const std::string printerPort = PrinterPortName(portCode, strIPAddress);
  bool nothingToAdd = driverPresent && portCode == kPortUsb;
  if (driverPresent && !nothingToAdd && PrinterOfDriverOnPort(strModelName.c_str(), printerPort.c_str())) {
    WriteTraceLog("PRINTER ALREADY ON PORT : %s", printerPort.c_str());
    nothingToAdd = true;
  }

  unsigned exitCode = kExitSuccess;
  if (!nothingToAdd) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    std::string mutableCommand = command;  // CreateProcessA may write into it
    // The system's native rundll32 (printui installs for its own
    // architecture), in the system directory, so that nothing of the
    // installer's folder is on its search path.
    char systemDir[MAX_PATH];
    char rundll32[MAX_PATH];
    const bool haveRundll32 =
        SystemDirectory(systemDir) && NativeSystemProgramPath("rundll32.exe", bIs64Bit != 0, rundll32);
    const BOOL started = haveRundll32 && Os().CreateProcessA(rundll32, mutableCommand.data(), nullptr, nullptr, FALSE,
                                                             NORMAL_PRIORITY_CLASS, nullptr, systemDir, &startup,
                                                             &process);
    const DWORD startError = haveRundll32 ? Os().GetLastError() : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
    WriteTraceLog("\r\nCOMMAND LINE : %s", command.c_str());
    if (!started) {
      // Nothing ran: nothing may be registered or reported as installed.
      ui::ShowMessageBox("CreateProcess failed.", MB_OK);
      WriteTraceLog("CreateProcess failed. (%d)", static_cast<int>(startError));
      exitCode = kExitInstallFailed;
    } else {
      UniqueHandle processHandle(process.hProcess);
      UniqueHandle threadHandle(process.hThread);
      ReportStep("The new process is running...\r\n");
      ReportStep("Waiting until the process has finished processing ...\r\n", false);
      if (Os().WaitForSingleObject(processHandle.get(), kPrintUiTimeoutMs) == WAIT_TIMEOUT) {
        processHandle.reset();
        threadHandle.reset();
        ui::ShowMessageBox("The process could not finish the installation.", MB_OK | MB_ICONERROR);
        WriteTraceLog("WAIT_TIMEOUT");
        EndRun(kExitPrintUiTimeout);
        return kExitPrintUiTimeout;
      }
      // rundll32's exit code says nothing: the spooler tells whether the driver came.
      if (!PrinterDriverListed(strModelName.c_str(), strEnvironment.c_str())) {
        ui::ShowMessageBox("The printer driver could not be installed.", MB_OK | MB_ICONERROR);
        WriteTraceLog("PRINTUI FAILED");
        exitCode = kExitInstallFailed;
      } else {
        if (INFFileExist(strMaker, strModelName) == 0) CopyINFFile();
        processHandle.reset();
        threadHandle.reset();
        if (!driverPresent) {
          RegisterUninstallInfo();
          CopyFilesOfUtilities();
        } else {
          CompleteUninstallRegistration();
        }
        // printui may have left the driver without the printer (a port it could not make, the /u run).
        if (!CheckInstalled(portCode)) {
          exitCode = ReportNotInstalled();
        } else if (!driverPresent) {
          RemoveStagedPackage();  // before a restart can end the process
          ReportFinal("The driver has been successfully installed.");
          exitCode = AskClosingQuestion(portCode);
        }
      }
    }
  } else if (!CheckInstalled(portCode)) {
    exitCode = ReportNotInstalled();
  } else {
    CompleteUninstallRegistration();
  }

  WriteTraceLog("\r\n");
  WriteTraceLog("AddToWin2KWithWHQL END");
  ReportFinal("Completed.");
  StartSpoolerAndWait();
  return exitCode;
}

}  // namespace vkp
