// DLLs only from the system directory. The programs run elevated from
// folders ordinary users can write to (Downloads, shares, deployment caches);
// a DLL planted there must never be loaded in their place.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

// Limits the process's DLL search to the system directory. Looked up at run
// time: SetDefaultDllDirectories where the system has it, otherwise
// SetDllDirectoryA("") drops the current directory from the search.
// The first thing each program does.
void RestrictDllSearchToSystem();

// Loads `name` (a bare file name) from the system directory, never from
// anywhere else; nullptr when it cannot.
HMODULE LoadSystemLibrary(const char* name);

}  // namespace vkp
