#include "support/DriverPresence.h"

#include <cstring>

#include "support/SpoolerEnum.h"
#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {

Listing DriverListing(const char* name, const char* environment, unsigned level) {
  const SpoolerList drivers = EnumerateTwice([&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrinterDriversA(nullptr, const_cast<char*>(environment), level, buffer, size, needed, count);
  });
  if (!drivers.ok) return Listing::Unknown;
  for (DWORD i = 0; i < drivers.count; ++i) {
    // Every DRIVER_INFO_n starts with cVersion and pName.
    const char* driver = level == 1 ? drivers.Items<DRIVER_INFO_1A>()[i].pName
                         : level == 3 ? drivers.Items<DRIVER_INFO_3A>()[i].pName
                                      : drivers.Items<DRIVER_INFO_4A>()[i].pName;
    if (driver != nullptr && std::strcmp(driver, name) == 0) return Listing::Listed;
  }
  return Listing::NotListed;
}

bool TracedPresence(const char* name, bool exists) {
  WriteTraceLog(exists ? "%s PRINTER DRIVER EXISTS." : "%s PRINTER DRIVER DOES NOT EXIST.", name);
  return exists;
}

}  // namespace

bool PrinterDriverListed(const char* name, const char* environment, unsigned level) {
  return DriverListing(name, environment, level) == Listing::Listed;
}

Listing PrinterDriverListing(const char* name, const char* environment) {
  return DriverListing(name, environment, 3);
}

Listing PrintProcessorListing(const char* name, const char* environment) {
  const SpoolerList processors = EnumerateTwice([&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintProcessorsA(nullptr, const_cast<char*>(environment), 1, buffer, size, needed, count);
  });
  if (!processors.ok) return Listing::Unknown;
  for (DWORD i = 0; i < processors.count; ++i) {
    const char* processor = processors.Items<PRINTPROCESSOR_INFO_1A>()[i].pName;
    if (processor != nullptr && std::strcmp(processor, name) == 0) return Listing::Listed;
  }
  return Listing::NotListed;
}

bool PrintProcessorListed(const char* name, const char* environment) {
  return PrintProcessorListing(name, environment) == Listing::Listed;
}

bool PrintMonitorListed(const char* name) {
  const SpoolerList monitors = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumMonitorsA(nullptr, 1, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < monitors.count; ++i) {
    const char* monitor = monitors.Items<MONITOR_INFO_1A>()[i].pName;
    if (monitor != nullptr && std::strcmp(monitor, name) == 0) return true;
  }
  return false;
}

bool ModelDriverListed(const char* name, bool is64Bit) {
  return TracedPresence(name,
                        PrinterDriverListed(name, nullptr) || (is64Bit && PrinterDriverListed(name, kEnvironmentX64)));
}

bool ModelDriverListedIn(const char* name, const char* environment) {
  return TracedPresence(name, PrinterDriverListed(name, environment));
}

bool PrinterOfDriverOnPort(const char* driver, const char* port) {
  const SpoolerList printers = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < printers.count; ++i) {
    const PRINTER_INFO_2A& printer = printers.Items<PRINTER_INFO_2A>()[i];
    if (printer.pDriverName != nullptr && printer.pPortName != nullptr &&
        std::strcmp(driver, printer.pDriverName) == 0 && std::strcmp(port, printer.pPortName) == 0)
      return true;
  }
  return false;
}

}  // namespace vkp
