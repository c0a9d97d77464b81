#include <cstdio>
#include <string>

#include "installer/InstallEngine.h"
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

std::string PrintUiCommandLine(int portCode, const std::string& model, const std::string& inf,
                               const std::string& port, bool driverPresent) {
  char line[1024];
  if (portCode == kPortUsb) {
    std::snprintf(line, sizeof line, "cmd /c RUNDLL32 printui.dll,PrintUIEntry /ia /m \"%s\" /f %s", model.c_str(),
                  inf.c_str());
  } else if (portCode == kPortWirelessLan) {
    std::snprintf(line, sizeof line, "cmd /c RUNDLL32 printui.dll,PrintUIEntry /if /b \"%s\" /f %s /r \"%s\" /m \"%s\"",
                  model.c_str(), inf.c_str(), port.c_str(), model.c_str());
  } else {
    std::snprintf(line, sizeof line,
                  "cmd /c RUNDLL32 printui.dll,PrintUIEntry /if /b \"%s\" /f %s /r \"%s:\" /m \"%s\"", model.c_str(),
                  inf.c_str(), port.c_str(), model.c_str());
  }
  std::string command(line);
  if (driverPresent) command += " /u";
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
  std::string inf = (strSourceDir.empty() ? ".\\" : strSourceDir) + strINFName;
  if (inf.find(' ') != std::string::npos) inf = "\"" + inf + "\"";
  const std::string command =
      PrintUiCommandLine(portCode, strModelName, inf, PrintUiPortText(portCode, strIPAddress), driverPresent);
  ReportStep("Creates a new process \r\n");

  unsigned exitCode = kExitSuccess;
  if (!(portCode == kPortUsb && driverPresent)) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    std::string mutableCommand = command;  // CreateProcessA may write into it
    // The system's cmd, in the system directory: cmd looks for RUNDLL32 in its
    // current directory first, which must not be the installer's folder.
    char systemDir[MAX_PATH];
    char cmdPath[MAX_PATH];
    const bool haveSystemCmd = SystemDirectory(systemDir) && SystemProgramPath("cmd.exe", cmdPath);
    const BOOL started = haveSystemCmd && Os().CreateProcessA(cmdPath, mutableCommand.data(), nullptr, nullptr, FALSE,
                                                              NORMAL_PRIORITY_CLASS, nullptr, systemDir, &startup,
                                                              &process);
    const DWORD startError = haveSystemCmd ? Os().GetLastError() : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
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
        Os().ExitProcess(kExitPrintUiTimeout);
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
