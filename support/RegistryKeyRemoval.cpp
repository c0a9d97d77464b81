#include "support/RegistryKeyRemoval.h"

#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/AccessOverride.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {

using RegDeleteKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// Registry key names are at most 255 characters.
constexpr DWORD kKeyNameSize = 256;

bool IsRegistryLink(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  const LONG result = Os().RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, &size);
  return (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type == REG_LINK;
}

// RegDeleteKeyExA removes one key only and fails with 5 on a key that has
// subkeys, so the subkeys go first, in the same view.
LONG DeleteKeyTree(RegDeleteKeyExAFn deleteKey, HKEY root, const std::string& subKey,
                   REGSAM viewFlags, DWORD reserved) {
  std::vector<std::string> children;
  {
    UniqueRegKey key;
    const REGSAM access = KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | (viewFlags & KEY_WOW64_RES);
    // Opened as the key itself: a registry link is neither followed nor
    // deleted (deleting it by name would delete what it points to).
    if (Os().RegOpenKeyExA(root, subKey.c_str(), REG_OPTION_OPEN_LINK, access, key.put()) == ERROR_SUCCESS) {
      if (IsRegistryLink(key.get())) return ERROR_ACCESS_DENIED;
      // Names first, deletions afterwards: deleting while enumerating shifts the indexes.
      for (DWORD index = 0;; ++index) {
        char name[kKeyNameSize];
        DWORD nameLength = kKeyNameSize;
        if (Os().RegEnumKeyExA(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr,
                               nullptr) != ERROR_SUCCESS)
          break;
        children.emplace_back(name, nameLength);
      }
    }
    // A key that cannot be opened is left to the deletion below, whose code
    // then tells why (for example 2 for a missing key).
  }
  for (const std::string& child : children) {
    const LONG result = DeleteKeyTree(deleteKey, root, subKey + "\\" + child, viewFlags, reserved);
    if (result != ERROR_SUCCESS) return result;
  }
  return deleteKey(root, subKey.c_str(), viewFlags, reserved);
}

}  // namespace

LONG MyRegDeleteKeyEx(HKEY root, const char* subKey, REGSAM viewFlags, DWORD reserved) {
  // Looked up at run time: Windows before XP x64 / Vista lacks the entry.
  HMODULE advapi = Os().GetModuleHandleA("Advapi32");
  auto deleteKey = reinterpret_cast<RegDeleteKeyExAFn>(
      reinterpret_cast<void*>(Os().GetProcAddress(advapi, "RegDeleteKeyExA")));
  if (deleteKey == nullptr) return -1;
  // Never walk the root itself: an empty subkey would take the whole hive.
  if (subKey == nullptr || subKey[0] == '\0') return deleteKey(root, subKey, viewFlags, reserved);
  return DeleteKeyTree(deleteKey, root, subKey, viewFlags, reserved);
}

void RemoveRegKey(const char* fullPath, const char* subKey, int is64Bit) {
  // Best effort: the deletion is tried whatever the override achieved.
  SavedKeyAccess before;
  SetKeyAccess(fullPath, "/PG:Everyone:Fc", &before);
  WriteTraceLog("REGKEY_1 : %s", fullPath);
  WriteTraceLog("REGKEY_2 : %s", subKey);
  bool deleted = true;
  if (is64Bit) {
    if (MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, subKey, KEY_WOW64_64KEY, 0) != ERROR_SUCCESS) {
      WriteTraceLog("MyRegDeleteKeyEx failed : %s (%d) ", subKey, static_cast<int>(Os().GetLastError()));
      deleted = false;
    }
  } else {
    if (Os().SHDeleteKeyA(HKEY_LOCAL_MACHINE, subKey) != ERROR_SUCCESS) {
      WriteTraceLog("SHDeleteKey failed : %s (%d) ", subKey, static_cast<int>(Os().GetLastError()));
      deleted = false;
    }
  }
  // A key that outlives the deletion must not stay open to every user.
  if (!deleted && RestoreKeyAccess(fullPath, before) == ERROR_SUCCESS && before.saved)
    WriteTraceLog("ACCESS RESTORED : %s", fullPath);
}

}  // namespace vkp
