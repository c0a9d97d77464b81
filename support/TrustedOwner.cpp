#include "support/TrustedOwner.h"

#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

namespace {

struct WellKnownOwner {
  BYTE count;
  DWORD subAuthorities[6];
};

// S-1-5-18, S-1-5-32-544 and the TrustedInstaller service's S-1-5-80-...
constexpr WellKnownOwner kTrustedOwners[] = {
    {1, {SECURITY_LOCAL_SYSTEM_RID}},
    {2, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}},
    {6, {SECURITY_SERVICE_ID_BASE_RID, 956008885, 3418522649, 1831038044, 1853292631, 2271478464}},
};

bool IsWellKnownOwner(PSID owner) {
  for (const WellKnownOwner& known : kTrustedOwners) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    const DWORD* sub = known.subAuthorities;
    UniqueSid sid;
    if (Os().AllocateAndInitializeSid(&nt, known.count, sub[0], sub[1], sub[2], sub[3], sub[4], sub[5], 0, 0,
                                      sid.put()) &&
        Os().EqualSid(owner, sid.get()))
      return true;
  }
  return false;
}

bool IsThisAccount(PSID owner) {
  UniqueHandle token;
  if (!Os().OpenProcessToken(Os().GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  // TOKEN_USER followed by the SID it points to.
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!Os().GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
  return Os().EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid) != FALSE;
}

}  // namespace

bool HasTrustedOwner(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD result = Os().GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                            nullptr, nullptr, &descriptor);
  UniqueLocal descriptorHolder(descriptor);  // owner points into it
  if (result != ERROR_SUCCESS || owner == nullptr) return false;
  return IsWellKnownOwner(owner) || IsThisAccount(owner);
}

}  // namespace vkp
