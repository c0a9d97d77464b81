// The Windows and system directories as the installation steps read them.
#pragma once

#include "support/PathSize.h"

namespace vkp {

// A directory that does not fit the buffer counts as unknown: traced
// ("GetWindowsDirectory failed. (error)"), the buffer left empty, false.
bool ReadWindowsDirectory(char (&directory)[kPathSize]);
bool ReadSystemDirectory(char (&directory)[kPathSize]);

}  // namespace vkp
