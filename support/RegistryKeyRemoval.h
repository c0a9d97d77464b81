// Deletion of registry keys left behind by an installation, in the registry
// view that fits the system, after an access override.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

// Deletes subKey of root with all its subkeys, leaf first, in the view
// chosen by viewFlags (KEY_WOW64_64KEY / KEY_WOW64_32KEY), each key through
// the platform's RegDeleteKeyExA. Returns 0 or the first failing call's
// Windows error code, and -1 when the platform lacks RegDeleteKeyExA.
LONG MyRegDeleteKeyEx(HKEY root, const char* subKey, REGSAM viewFlags, DWORD reserved);

// Grants Everyone full control of the key (best effort), then deletes it
// under HKEY_LOCAL_MACHINE: in the 64-bit view when is64Bit, else with
// SHDeleteKeyA. fullPath is "HKLM\" + subKey. Failures only go to the trace.
void RemoveRegKey(const char* fullPath, const char* subKey, int is64Bit);

}  // namespace vkp
