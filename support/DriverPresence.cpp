#include "support/DriverPresence.h"

#include <cstring>

#include "support/SpoolerEnum.h"
#include "platform/Os.h"

namespace vkp {

bool PrinterDriverListed(const char* name, const char* environment, unsigned level) {
  const SpoolerList drivers = EnumerateTwice([&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrinterDriversA(nullptr, const_cast<char*>(environment), level, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < drivers.count; ++i) {
    // Every DRIVER_INFO_n starts with cVersion and pName.
    const char* driver = level == 1 ? drivers.Items<DRIVER_INFO_1A>()[i].pName
                         : level == 3 ? drivers.Items<DRIVER_INFO_3A>()[i].pName
                                      : drivers.Items<DRIVER_INFO_4A>()[i].pName;
    if (driver != nullptr && std::strcmp(driver, name) == 0) return true;
  }
  return false;
}

bool PrintProcessorListed(const char* name, const char* environment) {
  const SpoolerList processors = EnumerateTwice([&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintProcessorsA(nullptr, const_cast<char*>(environment), 1, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < processors.count; ++i) {
    const char* processor = processors.Items<PRINTPROCESSOR_INFO_1A>()[i].pName;
    if (processor != nullptr && std::strcmp(processor, name) == 0) return true;
  }
  return false;
}

}  // namespace vkp
