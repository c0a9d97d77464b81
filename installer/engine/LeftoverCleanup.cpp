#include "installer/InstallEngine.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/RegistryKeyRemoval.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

// The installer's clean-up before a new installation: no progress text, no pause.

void InstallEngine::DeleteVidPid() {
  TraceScope trace("DeleteVidPid");
  char deviceId[256];
  CopyBounded(deviceId, "USB\\");
  AppendBounded(deviceId, ui::LoadResourceString(IDS_USB_ID).c_str());
  RemoveUsbDevices(deviceId);
  WriteTraceLog("VID&PID : %s", deviceId);
}

void InstallEngine::DeletePrnDrvPnPDirectory() {
  TraceScope trace("DeletePrnDrvPnPDirectory");
  char driverDir[256];
  if (DriverDirectory(driverDir)) {
    char folder[256];
    CopyBounded(folder, driverDir);
    AppendBounded(folder, "\\");
    AppendBounded(folder, ui::LoadResourceString(IDS_HARDWARE_ID).c_str());
    DeleteDirectoryTree(folder);
    WriteTraceLog("DIR PATH-1 : %s ", folder);
  } else {
    WriteTraceLog("No printer-driver directory: nothing deleted");
  }
}

void InstallEngine::Delete_USB_Info() {
  TraceScope trace("Delete_USB_Info");
  const std::string usbPrintKey = ui::LoadResourceString(IDS_USBPRINT_KEY);
  char fullPath[512];
  CopyBounded(fullPath, "HKLM\\");
  AppendBounded(fullPath, usbPrintKey.c_str());
  char subKey[512];
  CopyBounded(subKey, usbPrintKey.c_str());
  RemoveRegKey(fullPath, subKey, bIs64Bit);
}

}  // namespace vkp
