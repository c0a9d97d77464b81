#include "installer/DriverVersion.h"

#include <cstring>

#include "support/SpoolerEnum.h"
#include "support/DriverPresence.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/BoundedText.h"
#include "support/SameFileContents.h"
#include "support/TraceLog.h"
#include "support/pure/TextCompare.h"

namespace vkp {

namespace {

// The version a printer of the model carries in its printer data. Returns
// false when "ExtraVersion" (the last one read) cannot be read.
bool ReadPrinterVersion(const char* printerName, DWORD (&version)[4]) {
  char name[256] = {};
  CopyBounded(name, printerName);
  PRINTER_DEFAULTSA defaults{};
  defaults.pDatatype = const_cast<char*>("RAW");
  defaults.DesiredAccess = PRINTER_ALL_ACCESS;
  UniquePrinter printer;
  Os().OpenPrinterA(name, printer.put(), &defaults);  // a failed open makes the reads fail

  static const char* const kValueNames[4] = {"MajorVersion", "MinorVersion", "BuildVersion", "ExtraVersion"};
  DWORD lastResult = ERROR_SUCCESS;
  for (int i = 0; i < 4; ++i) {
    DWORD type = REG_DWORD;
    DWORD needed = 0;
    version[i] = 0;
    lastResult = Os().GetPrinterDataA(printer.get(), const_cast<char*>(kValueNames[i]), &type,
                                      reinterpret_cast<BYTE*>(&version[i]), sizeof(DWORD), &needed);
  }
  return lastResult == ERROR_SUCCESS;
}

bool IsThePackagesFile(const char* installed, const char* name, const PackageFiles& package) {
  char packaged[MAX_PATH];
  CopyBounded(packaged, package.driverDir);
  AppendBounded(packaged, name);
  return SameFileContents(installed, packaged);
}

const char* FileNameOf(const char* path) {
  const char* name = std::strrchr(path, '\\');
  return name != nullptr ? name + 1 : path;
}

// The file of that name among a driver's dependent files (a list of texts,
// each ended by a zero and the list by one more), or null.
const char* DependentFile(const char* files, const char* name) {
  for (const char* file = files; file != nullptr && *file != '\0'; file += std::strlen(file) + 1)
    if (EqualNoCase(FileNameOf(file), name)) return file;
  return nullptr;
}

// One of the model's own files is this package's, byte for byte; traces
// the one that is missing or differs.
bool ModelFileIsThePackages(const char* installed, const char* name, const PackageFiles& package) {
  if (installed != nullptr && EqualNoCase(FileNameOf(installed), name) &&
      IsThePackagesFile(installed, name, package))
    return true;
  WriteTraceLog("THE INSTALLED DRIVER'S %s IS NOT THIS PACKAGE'S", name);
  return false;
}

// The installed driver's model files are this package's: its data file and
// its plug-in. Its driver file is the universal driver's core, the same for
// every version of every model built on it, so it tells no version apart.
bool DriverIsThePackages(const char* driverName, const char* environment, const PackageFiles& package) {
  const SpoolerList drivers = EnumerateTwice([&](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 3, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < drivers.count; ++i) {
    const DRIVER_INFO_3A& driver = drivers.Items<DRIVER_INFO_3A>()[i];
    if (driver.pName == nullptr || std::strcmp(driver.pName, driverName) != 0) continue;
    return ModelFileIsThePackages(driver.pDataFile, package.dataFile, package) &&
           ModelFileIsThePackages(DependentFile(driver.pDependentFiles, package.plugInDll), package.plugInDll,
                                  package);
  }
  return false;
}

// The installed print processor's file is the one in this package.
bool ProcessorIsThePackages(const char* environment, const PackageFiles& package) {
  char directory[MAX_PATH] = "";
  DWORD needed = 0;
  if (!Os().GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(environment), 1,
                                        reinterpret_cast<BYTE*>(directory), sizeof directory - 1, &needed))
    return false;
  char installed[MAX_PATH];
  CopyBounded(installed, directory);
  AppendBounded(installed, "\\");
  AppendBounded(installed, package.processorDll);
  return IsThePackagesFile(installed, package.processorDll, package);
}

}  // namespace

int CheckInstalledVersion(const char* driverName, const char* processorName, unsigned major,
                          unsigned minor, unsigned build, unsigned extra, bool is64Bit,
                          const PackageFiles* package) {
  const SpoolerList printers = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
  });
  for (DWORD i = 0; i < printers.count; ++i) {
    const PRINTER_INFO_2A& printer = printers.Items<PRINTER_INFO_2A>()[i];
    if (printer.pDriverName == nullptr || std::strcmp(printer.pDriverName, driverName) != 0) continue;
    DWORD installed[4];
    if (!ReadPrinterVersion(printer.pPrinterName, installed)) return kInstalledDifferentOlder;
    const unsigned ours[4] = {major, minor, build, extra};
    for (int part = 0; part < 4; ++part) {
      if (installed[part] == ours[part]) continue;
      return ours[part] > installed[part] ? kInstalledDifferentOlder : kInstalledNewer;
    }
    return kInstalledSame;
  }

  const bool listedOwn = PrinterDriverListed(driverName, nullptr, 4);
  const bool listedX64 = !listedOwn && is64Bit && PrinterDriverListed(driverName, kEnvironmentX64, 4);
  if (listedOwn || listedX64) {
    if (package != nullptr && DriverIsThePackages(driverName, listedOwn ? nullptr : kEnvironmentX64, *package)) {
      WriteTraceLog("THE INSTALLED DRIVER IS THIS PACKAGE'S, WITHOUT A PRINTER");
      return kInstalledSame;
    }
    return kInstalledDifferentOlder;
  }
  const bool processorOwn = PrintProcessorListed(processorName, nullptr);
  if (processorOwn || (is64Bit && PrintProcessorListed(processorName, kEnvironmentX64))) {
    if (package != nullptr && ProcessorIsThePackages(processorOwn ? nullptr : kEnvironmentX64, *package)) {
      WriteTraceLog("THE INSTALLED PRINT PROCESSOR IS THIS PACKAGE'S, WITHOUT A DRIVER");
      return kInstalledNothing;
    }
    return kInstalledDifferentOlder;
  }
  return kInstalledNothing;
}

}  // namespace vkp
