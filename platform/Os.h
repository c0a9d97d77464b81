// The platform seam. Every operating-system call of the programs goes through
// Os(): in the programs each entry is the real Windows function, unchanged;
// tests replace entries to record calls, inject failures and skip sleeps.
//
// Window messages and window state (SendMessage, PostMessage, EnableWindow,
// GetDlgItem, ShowWindow, ...) stay outside on purpose: they act on the
// programs' own windows, change nothing on the system, and tests drive and
// read the dialogs themselves rather than fake them.
#pragma once

#include "platform/WinHeaders.h"
#include "platform/OsFunctions.h"

namespace vkp {

struct PlatformApi {
#define VKP_DECLARE_OS_ENTRY(name, failKind) decltype(&::name) name;
  VKP_OS_FUNCTIONS(VKP_DECLARE_OS_ENTRY)
#undef VKP_DECLARE_OS_ENTRY
};

// The process-wide table; bound to the real functions at start.
PlatformApi& Os();

// The table as the programs bind it (what tests restore to).
const PlatformApi& RealOs();

}  // namespace vkp
