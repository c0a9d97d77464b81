#include <string>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

// The copies staged for AddPrinterDriver: the spooler has taken its own
// copies into the driver directory's version folder by now.
void InstallEngine::DeleteFilesUsed() {
  TraceScope trace("DeleteFilesUsed");
  ReportStep("Deleting files used to install...\r\n");

  char driverDir[256];
  if (!DriverDirectory(driverDir)) {
    WriteTraceLog("No printer-driver directory: nothing deleted");
    return;
  }

  auto pathOf = [&driverDir](const std::string& name, char (&path)[256]) {
    CopyBounded(path, driverDir);
    AppendBounded(path, "\\");
    AppendBounded(path, name.c_str());
  };

  // The universal-driver core files may be shared with other drivers' staging: failures are not examined.
  for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL"}) {
    char path[256];
    pathOf(name, path);
    Os().DeleteFileA(path);
    WriteTraceLog("FILE SRC : %s", path);
  }

  const std::string modelFiles[] = {strDriverDLL,
                                    strUIDLL,
                                    strUniDLL,
                                    ui::LoadResourceString(IDS_UI_INI_FILE),
                                    ui::LoadResourceString(IDS_GPD_FILE),
                                    "STDNAMES.GPD"};
  for (const std::string& name : modelFiles) {
    char path[256];
    pathOf(name, path);
    WriteTraceLog("FILE SRC : %s", path);
    if (!Os().DeleteFileA(path)) LogDeleteFileError(path, Os().GetLastError());
  }
}

}  // namespace vkp
