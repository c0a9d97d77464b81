// Who owns a file or folder, as far as an elevated program may trust it.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

// True when the object (opened with READ_CONTROL) is owned by SYSTEM, the
// Administrators, TrustedInstaller, or the account this program runs as:
// what that account owns it could change itself without us. An ordinary
// user's object is none of these.
bool HasTrustedOwner(HANDLE object);

}  // namespace vkp
