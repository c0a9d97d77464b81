#include <cstddef>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"

namespace vkp {

// A target that the spooler holds open (or that is protected) can still be
// renamed: the old file moves aside as "<target>.old" and the copy is made again.
bool InstallEngine::CopyFileErrorHandler(const char* source, const char* target, DWORD errorCode) {
  if (errorCode != ERROR_ACCESS_DENIED && errorCode != ERROR_SHARING_VIOLATION) {
    WriteTraceLog("COPYFILE ERROR, SRC : %s ", source);
    WriteTraceLog("ERROR CODE : %d ", static_cast<int>(errorCode));
    WriteTraceLog("COPYFILE ERROR, DES : %s ", target);
    return false;
  }

  // Room for a full 256-character target plus the extension.
  constexpr std::size_t kAsideSize = 256 + 4;
  char aside[kAsideSize];
  CopyBounded(aside, target);
  AppendBounded(aside, ".old");

  WriteTraceLog(errorCode == ERROR_ACCESS_DENIED ? "ERROR_ACCESS_DENIED HANDLER"
                                                 : "ERROR_SHARING_VIOLATION HANDLER");

  if (Os().GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES && !Os().DeleteFileA(aside))
    WriteTraceLog("DeleteFile failed : %s (%d) ", aside, static_cast<int>(Os().GetLastError()));

  if (Os().GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
    if (!Os().MoveFileA(target, aside))
      WriteTraceLog("MoveFile failed : %s (%d) ", target, static_cast<int>(Os().GetLastError()));
    WriteTraceLog("strDest : %s", target);
    WriteTraceLog("strDestWithOldExt : %s", aside);
  }

  if (!Os().CopyFileA(source, target, FALSE)) {
    const DWORD retryError = Os().GetLastError();
    WriteTraceLog("CopyFile Error : %s ", source);
    WriteTraceLog("Error Code : (%d) ", static_cast<int>(retryError));
    WriteTraceLog("CopyFile Error : %s ", target);
  }
  return true;
}

}  // namespace vkp
