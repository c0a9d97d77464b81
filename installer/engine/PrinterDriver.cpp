#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/OsClassification.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {
// The dependent files, each ended by a zero and the list by one more.
constexpr char kDependentFiles[] =
    "UNIRES.DLL\0STDNAMES.GPD\0VKP200.DLL\0VKUI200.DLL\0VKUNI200.DLL\0VKUI200.INI\0";
}  // namespace

int InstallEngine::AddPrinterDriverToSystem() {
  TraceScope trace("AddPrinterDriverToSystem");
  ReportStep("Installing printer driver...\r\n");

  strWork = ui::LoadResourceString(IDS_GPD_FILE);
  DRIVER_INFO_3A driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(strModelName.c_str());
  driver.pEnvironment = const_cast<char*>(strEnvironment.c_str());
  driver.pDriverPath = const_cast<char*>("UNIDRV.DLL");
  driver.pDataFile = const_cast<char*>(strWork.c_str());
  driver.pConfigFile = const_cast<char*>("UNIDRVUI.DLL");
  driver.pHelpFile = const_cast<char*>("UNIDRV.HLP");
  driver.pDependentFiles = const_cast<char*>(kDependentFiles);
  driver.pMonitorName = const_cast<char*>(strMonitorName.c_str());
  driver.pDefaultDataType = const_cast<char*>("RAW");

  BOOL added = Os().AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
  DWORD error = added ? ERROR_SUCCESS : Os().GetLastError();

  // Older systems can miss framedyn.dll in the system directory itself.
  if (!added && error == ERROR_MOD_NOT_FOUND && nOSVersion < kOsVista) {
    char systemDir[256] = {};
    Os().GetSystemDirectoryA(systemDir, sizeof systemDir);
    char source[256] = {};
    CopyBounded(source, systemDir);
    AppendBounded(source, "\\wbem\\framedyn.dll");
    char target[256] = {};
    CopyBounded(target, systemDir);
    AppendBounded(target, "\\framedyn.dll");
    Os().CopyFileA(source, target, FALSE);
    added = Os().AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
    error = added ? ERROR_SUCCESS : Os().GetLastError();
    Os().DeleteFileA(target);
  }

  if (!added) {
    ui::ShowErrorBox("AddPrinterDriver, ERR CODE: %d\n\n", error);
    return 0;
  }
  return 1;
}

}  // namespace vkp
