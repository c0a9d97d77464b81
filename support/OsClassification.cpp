#include "support/OsClassification.h"

namespace vkp {

int ClassifyOs(unsigned platformId, unsigned major, unsigned minor, unsigned productType) {
  if (platformId == kPlatformWin32Windows) {
    if (major == 4) {
      if (minor == 0) return kOsWin95;
      if (minor == 10) return kOsWin98;
      if (minor == 90) return kOsWinMe;
    }
    return kOsWin7OrUnknown;
  }
  if (platformId == kPlatformWin32NT) {
    const bool workstation = productType == kProductWorkstation;
    if (major == 6) {
      if (minor == 0) return workstation ? kOsVista : kOsWin2008;
      if (minor == 1) return workstation ? kOsWin7OrUnknown : kOsWin2008R2;
      return kOsWin7OrUnknown;
    }
    if (major == 5) {
      if (minor == 0) return kOsWin2000;
      if (minor == 1) return kOsWinXP;
      if (minor == 2) return kOsWin2003;
      return kOsWin7OrUnknown;
    }
    if (major <= 4) return kOsWinNT4;
  }
  return kOsWin7OrUnknown;
}

}  // namespace vkp
