// The installer dialog's installation flow, run on the worker thread: which
// port to install for, and the different version replaced first.
#include "installer/VKPM200_InstallerDlg.h"

#include <string>

#include "installer/DriverVersion.h"
#include "installer/engine/PortCodes.h"
#include "installer/pure/ConfigRules.h"
#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/ExitCodes.h"
#include "support/OsClassification.h"
#include "support/TraceLog.h"
#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

unsigned VersionPart(UINT id) { return static_cast<unsigned>(LenientDecimal(ui::LoadResourceString(id).c_str())); }

}  // namespace

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
  const std::string dataFile = ui::LoadResourceString(IDS_GPD_FILE);
  const std::string plugIn = ui::LoadResourceString(IDS_DRIVER_DLL);
  const PackageFiles package{engine.strDriverDir.c_str(), dataFile.c_str(), plugIn.c_str(),
                             engine.strProcessorDLL.c_str()};
  const int result =
      CheckInstalledVersion(driver.c_str(), processor.c_str(), major, minor, build, extra, bIs64Bit != 0, &package);
  if (result == kInstalledNothing || result == kInstalledSame) return;

  bRemoving = 1;
  ui::ShowMessageBox("There is a different version driver in this system.\r\n\r\nThe installed driver will be removed.",
                     MB_OK | MB_ICONINFORMATION);
  ReplaceDifferentVersion();
}

unsigned InstallerDlg::InstallForPort(int portType, int portNumber, const std::string& ipAddress) {
  // Every way of installing starts here: the package is checked first, and
  // read from its checked copy from then on.
  if (!engine.StagePackage()) return kExitInstallFailed;  // nothing was installed
  const unsigned exitCode = InstallOnStagedPackage(portType, portNumber, ipAddress);
  engine.RemoveStagedPackage();
  return exitCode;
}

unsigned InstallerDlg::InstallOnStagedPackage(int portType, int portNumber, const std::string& ipAddress) {
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
