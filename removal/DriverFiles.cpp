// The driver's files, the hardware-id directory under the driver directory
// and the installation directory.
#include <string>
#include <utility>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "removal/RemovalEngine.h"
#include "resources/ModelStringIds.h"
#include "support/PathSize.h"
#include "support/SystemPrograms.h"
#include "support/BoundedText.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

namespace {

struct DriverDirectory {
  const char* environment;
  std::string path;  // empty when the spooler could not tell it
};

// The spooler's driver directory of each environment the step covers.
std::vector<DriverDirectory> DriverDirectories(const std::vector<const char*>& environments) {
  std::vector<DriverDirectory> directories;
  for (const char* environment : environments) {
    char path[kPathSize] = "";
    DWORD needed = 0;
    if (Os().GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(path),
                                        kPathSize, &needed)) {
      directories.push_back({environment, path});
    } else {
      WriteTraceLog("GetPrinterDriverDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
      directories.push_back({environment, std::string()});
    }
  }
  return directories;
}

}  // namespace

void RemovalEngine::DeleteDriverComponent() {
  const bool uninstaller = IsUninstaller();
  const char* stepName = uninstaller ? "DeleteDriverComponent" : "DeleteFilesUsed";
  TraceScope trace(stepName);
  if (uninstaller) ReportStep("Deleting driver-components...", true, 100);

  char windowsDirectory[kPathSize] = "";
  if (Os().GetWindowsDirectoryA(windowsDirectory, kPathSize) == 0) {
    WriteTraceLog("GetWindowsDirectory failed");
    windowsDirectory[0] = '\0';
  }
  const std::vector<DriverDirectory> driverDirectories = DriverDirectories(Environments());
  if (uninstaller) {
    for (const DriverDirectory& directory : driverDirectories) {
      if (directory.environment == nullptr)
        WriteTraceLog("PrinterDriverDirectory : %s", directory.path.c_str());
      else
        WriteTraceLog("PrinterDriverDirectory (%s) : %s", directory.environment, directory.path.c_str());
    }
    WriteTraceLog("WindowsDirectory : %s", windowsDirectory);
  }

  StopSpooler();
  Os().Sleep(1500);

  char driverDll[kPathSize] = "";
  CopyBounded(driverDll, Load(IDS_DRIVER_DLL).c_str());
  char gpdFile[kPathSize] = "";
  CopyBounded(gpdFile, Load(host_.ids.gpdFile).c_str());
  char budFile[kPathSize] = "";
  CopyBounded(budFile, Load(host_.ids.budFile).c_str());
  char uiDll[kPathSize] = "";
  CopyBounded(uiDll, Load(IDS_UI_DLL).c_str());
  char uniDll[kPathSize] = "";
  CopyBounded(uniDll, Load(IDS_UNI_DLL).c_str());
  char uiIniFile[kPathSize] = "";
  CopyBounded(uiIniFile, Load(host_.ids.uiIniFile).c_str());

  enum class Where { Windows, Driver };
  struct Row {
    Where where;
    const char* file;
  };
  std::vector<Row> rows{{Where::Windows, driverDll}};
  // The installer leaves the rendering DLL of the version-3 folder in place.
  if (uninstaller) rows.push_back({Where::Driver, driverDll});
  rows.insert(rows.end(), {{Where::Driver, gpdFile},
                           {Where::Windows, gpdFile},
                           {Where::Driver, budFile},
                           {Where::Driver, uiDll},
                           {Where::Windows, uiDll},
                           {Where::Windows, uniDll},
                           {Where::Driver, uniDll},
                           {Where::Windows, uiIniFile}});

  for (const Row& row : rows) {
    if (row.where == Where::Windows) {
      // Without the directory the path would start at the current drive's root.
      if (windowsDirectory[0] != '\0')
        DeleteFileIn(windowsDirectory, "\\", row.file);
      else
        WriteTraceLog("Windows directory unknown : %s not deleted", row.file);
      continue;
    }
    for (const DriverDirectory& directory : driverDirectories) {
      if (!directory.path.empty())
        DeleteFileIn(directory.path.c_str(), "\\3\\", row.file);
      else
        WriteTraceLog("Driver directory unknown : %s not deleted", row.file);
    }
  }

  StartSpoolerAndWait();
}

void RemovalEngine::DeletePrnDrvPnPDirectory() {
  TraceScope trace("DeletePrnDrvPnPDirectory");
  ReportStep("Deleting PNP directories...", IsUninstaller(), 500);

  char hardwareId[kPathSize] = "";
  CopyBounded(hardwareId, Load(IDS_HARDWARE_ID).c_str());
  for (const DriverDirectory& directory : DriverDirectories(Environments())) {
    if (directory.path.empty()) {
      WriteTraceLog("Driver directory unknown : %s not deleted", hardwareId);
      continue;
    }
    char path[kPathSize] = "";
    CopyBounded(path, directory.path.c_str());
    AppendBounded(path, "\\");
    AppendBounded(path, hardwareId);
    DeleteDirectoryTree(path);
    WriteTraceLog("DIR PATH-1 : %s ", path);
  }
}

// Why the folder must be left alone, or nullptr when it may go. Both are
// pinned: what was checked is what gets deleted.
const char* RemovalEngine::FolderRefusal(const PinnedFolder& parent, const PinnedFolder& folder) {
  if (!parent.IsPlain() || !folder.IsPlain()) return "a link";
  if (!folder.HasTrustedOwner()) return "not owned by the administrators or SYSTEM";
  return nullptr;
}

void RemovalEngine::DeleteInstalledDirectory() {
  TraceScope trace("DeleteInstalledDirectory");

  char windowsDirectory[kPathSize] = "";
  if (Os().GetWindowsDirectoryA(windowsDirectory, kPathSize) == 0) {
    // The drive is unknown: nothing to delete relative to the current one.
    WriteTraceLog("GetWindowsDirectory failed");
    return;
  }
  char parent[kPathSize] = "";
  CopyBoundedN(parent, kPathSize, windowsDirectory, 2);
  AppendBounded(parent, "\\NORVEKA Printer Driver");
  char modelDirectory[kPathSize] = "";
  CopyBounded(modelDirectory, parent);
  AppendBounded(modelDirectory, "\\");
  AppendBounded(modelDirectory, Load(IDS_MODEL_NAME).c_str());

  PinnedFolder pinnedParent(parent);
  if (Os().GetFileAttributesA(modelDirectory) != INVALID_FILE_ATTRIBUTES) {
    // Nothing of ours creates this folder, so any user could have: it goes
    // only when it is no link and belongs to the administrators or SYSTEM.
    PinnedFolder pinnedModel(modelDirectory);
    const char* refusal = FolderRefusal(pinnedParent, pinnedModel);
    if (refusal != nullptr) {
      WriteTraceLog("DIRECTORY LEFT ALONE : %s (%s)", modelDirectory, refusal);
    } else {
      DeletePinnedDirectoryTree(std::move(pinnedModel), modelDirectory);
      WriteTraceLog("DIRECTORY : %s", modelDirectory);
    }
  }
  pinnedParent.Release();  // removed below when empty: a link in its place goes itself
  if (Os().GetFileAttributesA(parent) != INVALID_FILE_ATTRIBUTES && !Os().RemoveDirectoryA(parent)) {
    const DWORD error = Os().GetLastError();
    // Something else still lives there: the parent stays, silently.
    if (error != ERROR_DIR_NOT_EMPTY)
      WriteTraceLog("Failed to remove the directory : %s, (%d)", parent, static_cast<int>(error));
  }
}

}  // namespace vkp::removal
