#include "support/TraceLog.h"

namespace vkp {

// Written only when the runtime ends the custom actions' process.
const char* TraceLogFileName() { return "VKP-M200_MsiActions.txt"; }

}  // namespace vkp
