#include "platform/Os.h"
#include "support/OsClassification.h"
#include "support/SystemProbes.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

int CheckOS() {
  TraceScope trace("CheckOS");

  OSVERSIONINFOEXA osvi{};
  osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  Os().GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&osvi));

  WriteTraceLog("osvi.dwPlatformID   : %d", static_cast<int>(osvi.dwPlatformId));
  WriteTraceLog("osvi.dwMajorVersion : %d", static_cast<int>(osvi.dwMajorVersion));
  WriteTraceLog("osvi.dwMinorVersion : %d", static_cast<int>(osvi.dwMinorVersion));
  WriteTraceLog("osvi.dwBuildNumber  : %d", static_cast<int>(osvi.dwBuildNumber));

  const int code = ClassifyOs(osvi.dwPlatformId, osvi.dwMajorVersion, osvi.dwMinorVersion,
                              osvi.wProductType);
  return code;
}

}  // namespace vkp
