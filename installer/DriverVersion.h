// What of the model is installed, and how its version compares with ours.
#pragma once

namespace vkp {

enum InstalledVersion : int {
  kInstalledDifferentOlder = 0,  // older, unreadable, or only traces of the model
  kInstalledNewer = 1,
  kInstalledNothing = 2,
  kInstalledSame = 3,
};

// This installer's own files, to recognise what an earlier run of this very
// version left: a driver without a printer (a run that ended early, or one
// for USB) whose model files (data file and plug-in) are byte for byte the
// package's counts as the same version; a print processor alone whose file
// is the package's, as nothing installed. Without them, both count as a
// different version.
struct PackageFiles {
  const char* driverDir;     // with its trailing backslash
  const char* dataFile;      // the model's data file: the driver's data file
  const char* plugInDll;     // the model's plug-in, one of the driver's dependent files
  const char* processorDll;  // the print processor's file name
};

// On 64-bit Windows (is64Bit) the driver and the processor are also looked
// for in "Windows x64", where the installation registers them.
int CheckInstalledVersion(const char* driverName, const char* processorName, unsigned major,
                          unsigned minor, unsigned build, unsigned extra, bool is64Bit = false,
                          const PackageFiles* package = nullptr);

}  // namespace vkp
