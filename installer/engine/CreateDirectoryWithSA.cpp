#include <cstddef>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

namespace {

struct Grant {
  const char* label;  // for the trace line when the SID cannot be built
  SID_IDENTIFIER_AUTHORITY authority;
  BYTE subAuthorityCount;
  DWORD subAuthority0;
  DWORD subAuthority1;
  DWORD permissions;
  TRUSTEE_TYPE trusteeType;
};

// Puts the list on an existing folder, protected from what its parent
// passes down. The folder itself is opened, never what a link in its place
// points to.
void ProtectFolder(const char* path, PACL list) {
  UniqueFile folder(Os().CreateFileA(path, READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                     FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder) return;  // no folder: nothing kept
  const DWORD result = Os().SetSecurityInfo(folder.get(), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                            nullptr, list, nullptr);
  if (result != ERROR_SUCCESS)
    WriteTraceLog("SetSecurityInfo failed : %s (%d) ", path, static_cast<int>(result));
  else
    WriteTraceLog("ACCESS LIST SET : %s", path);
}

}  // namespace

// The installation directory holds the uninstaller that Windows starts from
// the uninstall entry: only SYSTEM and the administrators may change it,
// everyone may read and run it. Objects and sub-folders inherit the list.
int InstallEngine::CreateDirectoryWithSA(const char* path) {
  TraceScope trace("CreateDirectoryWithSA");

  const Grant grants[] = {
      {"SYSTEM", SECURITY_NT_AUTHORITY, 1, SECURITY_LOCAL_SYSTEM_RID, 0, GENERIC_ALL,
       TRUSTEE_IS_WELL_KNOWN_GROUP},
      {"Administrators", SECURITY_NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
       GENERIC_ALL, TRUSTEE_IS_ALIAS},
      {"Everyone", SECURITY_WORLD_SID_AUTHORITY, 1, SECURITY_WORLD_RID, 0, GENERIC_READ | GENERIC_EXECUTE,
       TRUSTEE_IS_WELL_KNOWN_GROUP},
  };
  constexpr std::size_t kGrantCount = sizeof grants / sizeof grants[0];

  UniqueSid sids[kGrantCount];
  EXPLICIT_ACCESS_A entries[kGrantCount] = {};
  ULONG entryCount = 0;
  for (std::size_t i = 0; i < kGrantCount; ++i) {
    const Grant& grant = grants[i];
    SID_IDENTIFIER_AUTHORITY authority = grant.authority;
    if (!Os().AllocateAndInitializeSid(&authority, grant.subAuthorityCount, grant.subAuthority0,
                                       grant.subAuthority1, 0, 0, 0, 0, 0, 0, sids[i].put())) {
      WriteTraceLog("Fail to get %s SID. (%d)", grant.label, static_cast<int>(Os().GetLastError()));
      continue;
    }
    EXPLICIT_ACCESS_A& entry = entries[entryCount++];
    entry.grfAccessPermissions = grant.permissions;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = grant.trusteeType;
    entry.Trustee.ptstrName = static_cast<LPSTR>(sids[i].get());
  }

  // Without a list the directory gets default security: a descriptor with a
  // NULL (or empty) DACL would grant everything (or nothing) instead.
  UniqueLocal acl;
  SECURITY_DESCRIPTOR descriptor{};
  SECURITY_ATTRIBUTES attributes{};
  LPSECURITY_ATTRIBUTES withList = nullptr;
  if (entryCount != 0) {
    PACL list = nullptr;
    const DWORD aclResult = Os().SetEntriesInAclA(entryCount, entries, nullptr, &list);
    acl.reset(list);
    if (aclResult != ERROR_SUCCESS) {
      WriteTraceLog("SetEntriesInAcl failed. (%d)", static_cast<int>(aclResult));
    } else if (!Os().InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) {
      WriteTraceLog("InitializeSecurityDescriptor failed. (%d)", static_cast<int>(Os().GetLastError()));
    } else if (!Os().SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE)) {
      WriteTraceLog("SetSecurityDescriptorDacl failed. (%d)", static_cast<int>(Os().GetLastError()));
    } else {
      attributes.nLength = sizeof attributes;
      attributes.lpSecurityDescriptor = &descriptor;
      attributes.bInheritHandle = TRUE;
      withList = &attributes;
    }
  }

  BOOL created = Os().CreateDirectoryA(path, withList);
  if (!created && Os().GetLastError() == ERROR_ALREADY_EXISTS) {
    // Rebuilt from scratch: nothing of an earlier installation stays.
    DeleteDirectoryTree(path);
    created = Os().CreateDirectoryA(path, withList);
  }
  bool listGiven = created != FALSE;
  if (!created) {
    created = Os().CreateDirectoryA(path, withList);
    listGiven = created != FALSE;
    if (!created) {
      created = Os().CreateDirectoryA(path, nullptr);
      if (!created)
        WriteTraceLog("CreateDirectory failed : %s (%d) ", path, static_cast<int>(Os().GetLastError()));
    }
  }
  // A folder that could not be rebuilt (or was made with default security)
  // would keep its old list; an earlier version gave Everyone full control.
  if (withList != nullptr && !listGiven) ProtectFolder(path, static_cast<PACL>(acl.get()));

  trace.End();  // before the list and the SIDs are freed
  return created ? 1 : 0;
}

}  // namespace vkp
