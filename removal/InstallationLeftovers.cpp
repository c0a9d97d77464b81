#include <string>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "removal/RemovalEngine.h"
#include "resources/ModelStringIds.h"
#include "support/StagedPackageFolder.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

namespace {

constexpr char kConfigFileName[] = "VKPM200_Config.ZEM";

bool Exists(const std::string& path) { return Os().GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A file or an (empty by then) folder that cannot go now goes at the next restart.
void DeleteAtRestart(const std::string& path) {
  if (Os().MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    WriteTraceLog("DELETED AT THE NEXT RESTART : %s", path.c_str());
  } else {
    WriteTraceLog("MoveFileEx failed : %s (%d) ", path.c_str(), static_cast<int>(Os().GetLastError()));
  }
}

void DeleteFileNowOrAtRestart(const std::string& path) {
  if (!Exists(path)) return;
  if (Os().DeleteFileA(path.c_str())) {
    WriteTraceLog("FILE DELETED : %s", path.c_str());
    return;
  }
  LogDeleteFileError(path.c_str(), Os().GetLastError());
  DeleteAtRestart(path);
}

}  // namespace

void RemovalEngine::RemoveInstallationLeftovers() {
  TraceScope trace("RemoveInstallationLeftovers");

  char systemDirectory[MAX_PATH] = "";
  if (Os().GetSystemDirectoryA(systemDirectory, MAX_PATH) == 0) {
    WriteTraceLog("System directory unknown : %s not deleted", kConfigFileName);
  } else {
    DeleteFileNowOrAtRestart(std::string(systemDirectory) + "\\" + kConfigFileName);
  }

  char windowsDirectory[MAX_PATH] = "";
  if (Os().GetWindowsDirectoryA(windowsDirectory, MAX_PATH) == 0) {
    WriteTraceLog("Windows directory unknown : installation directory not deleted");
  } else {
    // The installer's checked copy of the package, when a cut run left it.
    const std::string staged = StagedPackageFolder(windowsDirectory, Load(IDS_MODEL_NAME));
    if (Exists(staged)) {
      DeleteDirectoryTree(staged);
      WriteTraceLog("DIRECTORY : %s", staged.c_str());
    }
    const std::string directory = std::string(windowsDirectory) + "\\" + Load(IDS_MODEL_NAME);
    if (Exists(directory)) {
      DeleteDirectoryTree(directory);
      WriteTraceLog("DIRECTORY : %s", directory.c_str());
    }
    if (Exists(directory)) {
      // Typically the running uninstaller itself: its file, then the folder.
      WIN32_FIND_DATAA found;
      UniqueFind search(Os().FindFirstFileA((directory + "\\*.*").c_str(), &found));
      if (search) {
        do {
          const std::string name = found.cFileName;
          if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
          DeleteAtRestart(directory + "\\" + name);
        } while (Os().FindNextFileA(search.get(), &found));
      }
      search.reset();
      DeleteAtRestart(directory);
    }
  }
}

}  // namespace vkp::removal
