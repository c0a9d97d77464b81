#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "installer/engine/InfFolderList.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

constexpr std::size_t kTextSize = 256;

}  // namespace

void InstallEngine::CopyINFFile() {
  TraceScope trace("CopyINFFile");

  // SetupCopyOEMInf wants a full path; a relative one is refused on some systems.
  char source[kTextSize];
  CopyBounded(source, strSourceDir.empty() ? ".\\" : strSourceDir.c_str());
  AppendBounded(source, ui::LoadResourceString(IDS_INF_NAME).c_str());
  WriteTraceLog("Inf File Name : %s", source);

  char destination[MAX_PATH] = "";
  DWORD required = 0;
  BOOL copied = Os().SetupCopyOEMInfA(source, nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, destination,
                                      sizeof destination, &required, nullptr);
  const DWORD error = copied ? ERROR_SUCCESS : Os().GetLastError();
  WriteTraceLog("Inf File Name : %s", source);

  if (!copied) {
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      // Already in the store: replace it and take its name.
      Os().SetupCopyOEMInfA(source, nullptr, SPOST_PATH, SP_COPY_REPLACEONLY, destination, sizeof destination,
                            &required, nullptr);
    } else {
      WriteTraceLog("SetupCopyOEMInf failed : (%d)", static_cast<int>(error));
      ui::ShowErrorBox("SetupCopyOEMInf, ERR CODE: %d\n\n", error);
      destination[0] = '\0';
    }
  }
  destination[sizeof destination - 1] = '\0';

  strINFName = destination;
  WriteTraceLog("INF FILE NAME : %s", strINFName.c_str());
}

// The key is always the model's display name from the string table.
int InstallEngine::INFFileExist(const std::string& section, const std::string& /*key*/) {
  TraceScope trace("INFFileExist");
  std::string sectionName = section;
  if (bIs64Bit) sectionName += ".NTamd64";
  WriteTraceLog("SECTION NAME : %s", sectionName.c_str());

  char keyName[kTextSize];
  CopyBounded(keyName, ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME).c_str());
  WriteTraceLog("KEY NAME : %s", keyName);

  int result = 0;
  char windowsDir[kTextSize];
  const UINT length = Os().GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
  std::vector<std::string> names;
  if (length == 0 || length >= sizeof windowsDir) {
    WriteTraceLog("GetWindowsDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
  } else {
    std::string infFolder = windowsDir;
    infFolder += "\\inf";
    if (ListInfFolder(infFolder, names)) {
      for (const std::string& name : names) {
        // Only the copies that SetupCopyOEMInf made; its names are lower case.
        if (name.compare(0, 3, "oem") != 0) continue;
        char path[kTextSize];
        CopyBounded(path, infFolder.c_str());
        AppendBounded(path, "\\");
        AppendBounded(path, name.c_str());
        UniqueInf inf(Os().SetupOpenInfFileA(path, nullptr, INF_STYLE_OLDNT | INF_STYLE_WIN4, nullptr));
        if (!inf) {
          WriteTraceLog("SetupOpenInfFile failed. %d", static_cast<int>(Os().GetLastError()));
          continue;
        }
        INFCONTEXT line{};
        if (Os().SetupFindFirstLineA(inf.get(), sectionName.c_str(), keyName, &line)) {
          WriteTraceLog("OEM FILES EXISTING : %s", name.c_str());
          result = 1;
        }
      }
    }
  }

  return result;
}

}  // namespace vkp
