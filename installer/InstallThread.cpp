#include "installer/InstallThread.h"

#include "installer/ConfigFile.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "installer/pure/ConfigRules.h"
#include "platform/Os.h"
#include "support/OsClassification.h"
#include "support/TraceLog.h"
#include "ui/MessageBox.h"

namespace vkp {

namespace {

constexpr int kPortCodeBase = 1000;

// Windows releases before 2000 (the 9x family, NT 4 and older) are refused.
void RefuseUnsupportedSystem(const InstallerDlg& dialog) {
  if (dialog.nOSVersion >= kOsWin2000) return;
  ui::ShowMessageBox("THE DRIVER CAN NOT BE INSTALLED ON THIS OS.", MB_OK | MB_ICONINFORMATION);
  Os().ExitProcess(0);
}

}  // namespace

unsigned __stdcall InstallThread(void* parameter) {
  auto& dialog = *static_cast<InstallerDlg*>(parameter);
  RefuseUnsupportedSystem(dialog);

  dialog.bInstalling = 1;
  char portDialog[kConfigValueSize] = {};
  if (PortDialogRequested(GetDriverInfoFromFile(kConfigSection, "PORTDLG", portDialog, sizeof portDialog))) {
    dialog.InstallWithPortDialog();
  } else {
    dialog.InstallWithConfiguredPort();
  }
  dialog.bInstalling = 0;
  Os().ExitProcess(0);
  return 0;
}

void InstallerDlg::InstallWithPortDialog() {
  if (portDlg.DoModal() != IDOK) {
    WriteTraceLog("The driver installation canceled.");
    ui::ShowMessageBox("The driver installation canceled.", MB_OK | MB_ICONINFORMATION);
    Os().ExitProcess(0);
    return;
  }
  InstallForPort(portDlg.GetPortType(), portDlg.GetPortNumber(), portDlg.GetIPAddress());
}

void InstallerDlg::InstallWithConfiguredPort() {
  // Created hidden: only its initialisation runs, which reads the configuration.
  PortDlg configured(Hwnd());
  configured.CreateModeless(Hwnd());
  ShowWindow(configured.Hwnd(), SW_HIDE);
  const int portType = configured.GetPortType();
  const int portNumber = configured.GetPortNumber();
  const std::string ipAddress = configured.GetIPAddress();
  configured.DestroyWindow();
  InstallForPort(portType, portNumber, ipAddress);
}

void InstallerDlg::InstallForPort(int portType, int portNumber, const std::string& ipAddress) {
  WriteTraceLog("\r\n");
  WriteTraceLog("PORT CODE : %d", kPortCodeBase + portType);
  WriteTraceLog("PORT NUMBER : %d, IP ADDRESS : %s", portNumber, ipAddress.c_str());
}

}  // namespace vkp
