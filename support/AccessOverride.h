// Adding one entry to a registry key's access list, from an override text
// such as "/PG:Everyone:Fc" and a key path such as "HKLM\SYSTEM\..." (both
// text forms are parsed in support/pure/AccessRequest.h).
#pragma once

#include "platform/UniqueHandles.h"
#include "platform/WinHeaders.h"

namespace vkp {

// A key's access list as it was before an override, to be put back.
struct SavedKeyAccess {
  UniqueLocal descriptor;  // owns the list
  PACL acl = nullptr;      // inside descriptor; nullptr is a NULL access list
  bool saved = false;
};

// Applies the override text to the key. Returns 0, 8 (no memory), 87
// (refused text or path) or the failing registry/security call's code. The
// caller's text is not changed. With `previous`, a successful override also
// hands over the access list it replaced.
DWORD SetKeyAccess(const char* keyPath, const char* request, SavedKeyAccess* previous = nullptr);

// Puts a saved access list back on the key; 0, or the failing call's code
// (2 when the key is gone).
DWORD RestoreKeyAccess(const char* keyPath, const SavedKeyAccess& saved);

// Opens the key named by keyPath (local or "\\machine\..."), with the rights
// needed to read and rewrite its access list; a bare root name gives the
// root key itself.
DWORD OpenKeyByPath(const char* keyPath, UniqueRegKey& key);

// Merges one explicit access entry into the key's access list; with
// `previous`, hands over the list it replaced once the merge is written.
DWORD AddAccessEntry(HKEY key, EXPLICIT_ACCESS_A& entry, SavedKeyAccess* previous = nullptr);

}  // namespace vkp
