#include "support/RuntimeFailure.h"

#include "platform/Compat.h"
#include "platform/Os.h"
#include "support/ExitCodes.h"
#include "support/TraceLog.h"

namespace vkp {

void EndForRuntimeFailure(const char* what) {
  WriteTraceLog("RUNTIME FAILURE : %s", what);
  Os().ExitProcess(kExitInstallFailed);
  VKP_UNREACHABLE();
}

}  // namespace vkp
