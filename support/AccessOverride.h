// Adding one entry to a registry key's access list, from an override text
// such as "/PG:Everyone:Fc" and a key path such as "HKLM\SYSTEM\..." (both
// text forms are parsed in support/pure/AccessRequest.h).
#pragma once

#include "platform/UniqueHandles.h"
#include "platform/WinHeaders.h"

namespace vkp {

// Applies the override text to the key. Returns 0, 8 (no memory), 87
// (refused text or path) or the failing registry/security call's code. The
// caller's text is not changed.
DWORD SetKeyAccess(const char* keyPath, const char* request);

// Opens the key named by keyPath (local or "\\machine\..."), with the rights
// needed to read and rewrite its access list; a bare root name gives the
// root key itself.
DWORD OpenKeyByPath(const char* keyPath, UniqueRegKey& key);

// Merges one explicit access entry into the key's access list.
DWORD AddAccessEntry(HKEY key, EXPLICIT_ACCESS_A& entry);

}  // namespace vkp
