#include "support/AccessOverride.h"

#include <string>
#include <utility>

#include "platform/Os.h"
#include "support/pure/AccessRequest.h"

namespace vkp {

// The pure parser speaks in the platform's own numbers.
static_assert(kAccessOk == ERROR_SUCCESS);
static_assert(kAccessNoMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kAccessInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(static_cast<int>(AccessMode::NotUsed) == NOT_USED_ACCESS);
static_assert(static_cast<int>(AccessMode::Grant) == GRANT_ACCESS);
static_assert(static_cast<int>(AccessMode::Set) == SET_ACCESS);
static_assert(static_cast<int>(AccessMode::Deny) == DENY_ACCESS);
static_assert(static_cast<int>(AccessMode::Revoke) == REVOKE_ACCESS);
static_assert(kRightsFullControl == KEY_ALL_ACCESS);
static_assert(kRightsRead == KEY_READ);
static_assert(kRightsWrite == (KEY_WRITE | KEY_CREATE_LINK));

namespace {

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::Users: return HKEY_USERS;
    case RootKey::None: break;
  }
  return nullptr;
}

}  // namespace

DWORD OpenKeyByPath(const char* keyPath, UniqueRegKey& key) {
  key.reset();
  KeyPath path;
  const DWORD parsed = ParseKeyPath(keyPath, path);
  if (parsed != kAccessOk) return parsed;

  UniqueRegKey root(RootHandle(path.root));
  if (!path.machine.empty()) {
    HKEY remote = nullptr;
    const LONG connected = Os().RegConnectRegistryA(path.machine.c_str(), root.get(), &remote);
    if (connected != ERROR_SUCCESS) return static_cast<DWORD>(connected);
    root.reset(remote);
  }
  if (path.subKey.empty()) {
    key = std::move(root);
    return ERROR_SUCCESS;
  }
  // WRITE_DAC besides the reading rights: SetSecurityInfo needs it.
  UniqueRegKey subKey;
  const LONG opened = Os().RegOpenKeyExA(root.get(), path.subKey.c_str(), 0,
                                         READ_CONTROL | KEY_ENUMERATE_SUB_KEYS | WRITE_DAC,
                                         subKey.put());
  if (opened != ERROR_SUCCESS) return static_cast<DWORD>(opened);
  key = std::move(subKey);
  return ERROR_SUCCESS;
}

DWORD AddAccessEntry(HKEY key, EXPLICIT_ACCESS_A& entry, SavedKeyAccess* previous) {
  PACL oldAcl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD result = Os().GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr,
                                      nullptr, &oldAcl, nullptr, &descriptor);
  UniqueLocal descriptorHolder(descriptor);  // oldAcl points into it
  if (result != ERROR_SUCCESS) return result;

  PACL newAcl = nullptr;
  result = Os().SetEntriesInAclA(1, &entry, oldAcl, &newAcl);
  UniqueLocal newAclHolder(newAcl);
  if (result != ERROR_SUCCESS) return result;

  result = Os().SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, newAcl, nullptr);
  if (result == ERROR_SUCCESS && previous != nullptr) {
    previous->descriptor = std::move(descriptorHolder);
    previous->acl = oldAcl;
    previous->saved = true;
  }
  return result;
}

DWORD RestoreKeyAccess(const char* keyPath, const SavedKeyAccess& saved) {
  if (!saved.saved) return ERROR_SUCCESS;
  UniqueRegKey key;
  const DWORD opened = OpenKeyByPath(keyPath, key);
  if (opened != ERROR_SUCCESS) return opened;
  return Os().SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, saved.acl,
                              nullptr);
}

DWORD SetKeyAccess(const char* keyPath, const char* request, SavedKeyAccess* previous) {
  AccessRequest parsed;
  const DWORD result = ParseAccessRequest(request, parsed);
  if (result != kAccessOk) return result;

  UniqueRegKey key;
  const DWORD opened = OpenKeyByPath(keyPath, key);
  if (opened != ERROR_SUCCESS) return opened;

  EXPLICIT_ACCESS_A entry{};
  // Inherited by the subkeys, so that the whole tree can be deleted.
  Os().BuildExplicitAccessWithNameA(&entry, parsed.trustee.data(), parsed.mask,
                                    static_cast<ACCESS_MODE>(static_cast<int>(parsed.mode)),
                                    SUB_CONTAINERS_ONLY_INHERIT);
  return AddAccessEntry(key.get(), entry, previous);
}

}  // namespace vkp
