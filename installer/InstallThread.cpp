#include "installer/InstallThread.h"

#include "installer/ConfigFile.h"
#include "installer/DriverVersion.h"
#include "support/ExitCodes.h"
#include "installer/engine/PortCodes.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "installer/pure/ConfigRules.h"
#include "platform/Os.h"
#include "support/OsClassification.h"
#include "support/TraceLog.h"
#include "resources/InstallerResource.h"
#include "support/ProtectedPrintMode.h"
#include "ui/Deployment.h"
#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

// Windows releases before 2000 (the 9x family, NT 4 and older) are refused.
void RefuseUnsupportedSystem(const InstallerDlg& dialog) {
  if (dialog.nOSVersion >= kOsWin2000) return;
  ui::ShowMessageBox("THE DRIVER CAN NOT BE INSTALLED ON THIS OS.", MB_OK | MB_ICONINFORMATION);
  Os().ExitProcess(kExitInstallFailed);
}

// Windows 11's protected print mode admits no third-party driver: refused
// before anything is changed rather than left half-installed.
void RefuseProtectedPrintMode() {
  if (!ProtectedPrintModeOn()) return;
  WriteTraceLog("PROTECTED PRINT MODE : ON");
  ui::ShowMessageBox(
      "Windows protected print mode is on. It does not allow this printer driver.\r\n\r\n"
      "Nothing was installed.",
      MB_OK | MB_ICONERROR);
  Os().ExitProcess(kExitInstallFailed);
}

unsigned VersionPart(UINT id) { return static_cast<unsigned>(LenientDecimal(ui::LoadResourceString(id).c_str())); }

}  // namespace

unsigned __stdcall InstallThread(void* parameter) {
  auto& dialog = *static_cast<InstallerDlg*>(parameter);
  RefuseUnsupportedSystem(dialog);
  RefuseProtectedPrintMode();

  dialog.bInstalling = 1;
  char portDialog[kConfigValueSize] = {};
  unsigned exitCode = kExitSuccess;
  if (dialog.switches.portType >= 0) {
    exitCode = dialog.InstallWithSwitchPort();
  } else if (PortDialogRequested(GetDriverInfoFromFile(kConfigSection, "PORTDLG", portDialog, sizeof portDialog))) {
    if (ui::CurrentDeployment().Unattended()) {
      // Nobody can answer the port dialog: nothing is installed.
      WriteTraceLog("NO PORT : give /port=COM1|COM2|COM3|COM4|USB|WLAN or a configuration file");
      exitCode = kExitInstallFailed;
    } else {
      exitCode = dialog.InstallWithPortDialog();
    }
  } else {
    exitCode = dialog.InstallWithConfiguredPort();
  }
  dialog.bInstalling = 0;
  Os().ExitProcess(exitCode);
  return 0;
}

unsigned InstallerDlg::InstallWithPortDialog() {
  if (portDlg.DoModal() != IDOK) {
    WriteTraceLog("The driver installation canceled.");
    ui::ShowMessageBox("The driver installation canceled.", MB_OK | MB_ICONINFORMATION);
    Os().ExitProcess(kExitCancelled);
    return kExitCancelled;
  }
  return InstallForPort(portDlg.GetPortType(), portDlg.GetPortNumber(), portDlg.GetIPAddress());
}

unsigned InstallerDlg::InstallWithSwitchPort() {
  char ipAddress[16] = "";
  if (switches.portType == kPortTypeWirelessLan)
    FormatIpAddress(ipAddress, sizeof ipAddress, switches.octets[0], switches.octets[1], switches.octets[2],
                    switches.octets[3]);
  WriteTraceLog("PORT FROM COMMAND LINE : %d %s %d", switches.portType, ipAddress, switches.tcpPort);
  return InstallForPort(switches.portType, switches.tcpPort, ipAddress);
}

unsigned InstallerDlg::InstallWithConfiguredPort() {
  // Created hidden: only its initialisation runs, which reads the configuration.
  PortDlg configured(Hwnd());
  configured.CreateModeless(Hwnd());
  ShowWindow(configured.Hwnd(), SW_HIDE);
  const int portType = configured.GetPortType();
  const int portNumber = configured.GetPortNumber();
  const std::string ipAddress = configured.GetIPAddress();
  configured.DestroyWindow();
  return InstallForPort(portType, portNumber, ipAddress);
}

void InstallerDlg::CheckDifferentVersion() {
  const unsigned major = VersionPart(IDS_VERSION_MAJOR);
  const unsigned minor = VersionPart(IDS_VERSION_MINOR);
  const unsigned build = VersionPart(IDS_VERSION_BUILD);
  const unsigned extra = VersionPart(IDS_VERSION_EXTRA);
  const std::string driver = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);
  const std::string processor = ui::LoadResourceString(IDS_PROCESSOR_NAME);
  const PackageFiles package{engine.strDriverDir.c_str(), engine.strProcessorDLL.c_str()};
  const int result =
      CheckInstalledVersion(driver.c_str(), processor.c_str(), major, minor, build, extra, bIs64Bit != 0, &package);
  if (result == kInstalledNothing || result == kInstalledSame) return;

  bRemoving = 1;
  ui::ShowMessageBox("There is a different version driver in this system.\r\n\r\nThe installed driver will be removed.",
                     MB_OK | MB_ICONINFORMATION);
  ReplaceDifferentVersion();
}

unsigned InstallerDlg::InstallForPort(int portType, int portNumber, const std::string& ipAddress) {
  CheckDifferentVersion();
  if (portType == kPortTypeWirelessLan) {
    engine.SetEthernetPort(ipAddress, portNumber);
    engine.AddEthernetPort();
  }
  if (portType < 0 || portType >= kPortTypeCount) {
    WriteTraceLog("NO PORT TO INSTALL ON : %d", portType);
    return kExitInstallFailed;  // nothing was installed
  }
  const int portCode = kPortCom1 + portType;
  return nOSVersion >= kOsVista ? engine.AddToWin2KWithWHQL(portCode) : engine.AddToWin2K(portCode);
}

}  // namespace vkp
