// What of the model is installed, and how its version compares with ours.
#pragma once

namespace vkp {

enum InstalledVersion : int {
  kInstalledDifferentOlder = 0,  // older, unreadable, or only traces of the model
  kInstalledNewer = 1,
  kInstalledNothing = 2,
  kInstalledSame = 3,
};

// On 64-bit Windows (is64Bit) the driver and the processor are also looked
// for in "Windows x64", where the installation registers them.
// packageDriverDir (with its trailing backslash): where this installer's
// driver files are. A driver without a printer whose file is byte for byte
// the package's is this version, left so by a run that ended early or
// installed for USB, and counts as the same version rather than a different one.
int CheckInstalledVersion(const char* driverName, const char* processorName, unsigned major,
                          unsigned minor, unsigned build, unsigned extra, bool is64Bit = false,
                          const char* packageDriverDir = nullptr);

}  // namespace vkp
