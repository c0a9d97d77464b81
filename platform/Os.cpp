#include "platform/Os.h"

namespace vkp {

const PlatformApi& RealOs() {
  static const PlatformApi real = {
#define VKP_BIND_OS_ENTRY(name, failKind) &::name,
      VKP_OS_FUNCTIONS(VKP_BIND_OS_ENTRY)
#undef VKP_BIND_OS_ENTRY
  };
  return real;
}

PlatformApi& Os() {
  static PlatformApi current = RealOs();
  return current;
}

}  // namespace vkp
