// What of the model is installed, and how its version compares with ours.
#pragma once

namespace vkp {

enum InstalledVersion : int {
  kInstalledDifferentOlder = 0,  // older, unreadable, or only traces of the model
  kInstalledNewer = 1,
  kInstalledNothing = 2,
  kInstalledSame = 3,
};

int CheckInstalledVersion(const char* driverName, const char* processorName, unsigned major,
                          unsigned minor, unsigned build, unsigned extra);

}  // namespace vkp
