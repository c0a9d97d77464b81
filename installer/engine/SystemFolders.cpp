#include "installer/engine/SystemFolders.h"

#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

bool ReadWindowsDirectory(char (&directory)[kPathSize]) {
  const UINT length = Os().GetWindowsDirectoryA(directory, kPathSize);
  if (length == 0 || length >= kPathSize) {
    WriteTraceLog("GetWindowsDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  return true;
}

bool ReadSystemDirectory(char (&directory)[kPathSize]) {
  const UINT length = Os().GetSystemDirectoryA(directory, kPathSize);
  if (length == 0 || length >= kPathSize) {
    WriteTraceLog("GetSystemDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace vkp
