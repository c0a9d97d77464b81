#include "support/SystemHelpers.h"
#include "support/TraceLog.h"

namespace vkp {

bool LogDeleteFileError(const char* path, DWORD error) {
  WriteTraceLog("DeleteFile Error : %s , (%d)", path, static_cast<int>(error));
  return false;
}

}  // namespace vkp
