// Windows protected print mode (Windows 11 24H2 and later): while it is on,
// the spooler takes no third-party printer driver, ours included.
#pragma once

namespace vkp {

// True when Windows protected print mode is on: third-party drivers cannot be installed.
bool ProtectedPrintModeOn();

}  // namespace vkp
