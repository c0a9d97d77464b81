#include "support/TraceLog.h"

namespace vkp {

const char* TraceLogFileName() { return "VKP-M200_UnInstaller.txt"; }

}  // namespace vkp
