#include "support/pure/AccessRequest.h"

#include <cstring>
#include <new>

#include "support/BoundedText.h"
#include "support/pure/TextCompare.h"

namespace vkp {

namespace {

// Runs a parse that builds strings; where exceptions exist, an allocation
// failure becomes kAccessNoMemory with `out` reset. Without them (the
// programs' build) it ends the process before it could be caught.
template <typename Result, typename Parse>
std::uint32_t ReportingNoMemory(Result& out, Parse parse) {
#if defined(__cpp_exceptions)
  try {
    return parse();
  } catch (const std::bad_alloc&) {
    out = Result{};
    return kAccessNoMemory;
  }
#else
  (void)out;
  return parse();
#endif
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

struct RightsCode {
  const char* code;
  std::uint32_t mask;
};
constexpr RightsCode kRightsCodes[] = {
    {"FC", kRightsFullControl},
    {"RD", kRightsRead},
    {"WR", kRightsWrite},
};

struct RootName {
  const char* longName;
  const char* shortName;
  RootKey root;
};
constexpr RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", RootKey::LocalMachine},
    {"HKEY_USERS", "HKU", RootKey::Users},
    {"HKEY_CLASSES_ROOT", "HKCR", RootKey::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", RootKey::CurrentUser},
};

}  // namespace

std::uint32_t ParseAccessOption(const char* field, AccessMode& mode) {
  mode = AccessMode::NotUsed;
  // The first character is the switch sign and is not looked at.
  if (field == nullptr || field[0] == '\0' || Upper(field[1]) != 'P') return kAccessOk;
  switch (Upper(field[2])) {
    case 'D': mode = AccessMode::Deny; return kAccessOk;
    case 'G': mode = AccessMode::Grant; return kAccessOk;
    case 'R': mode = AccessMode::Revoke; return kAccessOk;
    case 'S': mode = AccessMode::Set; return kAccessOk;
    default: return kAccessInvalidParameter;
  }
}

std::uint32_t ParseAccessRights(const char* field, std::uint32_t& mask) {
  mask = 0;
  char work[kAccessWorkBufferSize];
  CopyBounded(work, field);
  const std::size_t length = std::strlen(work);
  if (length % 2 != 0) return kAccessInvalidParameter;

  std::uint32_t result = kAccessOk;
  for (std::size_t i = 0; i < length; i += 2) {
    const char pair[3] = {Upper(work[i]), Upper(work[i + 1]), '\0'};
    bool known = false;
    for (const RightsCode& code : kRightsCodes) {
      if (std::strcmp(pair, code.code) == 0) {
        mask |= code.mask;
        known = true;
      }
    }
    if (!known) result = kAccessInvalidParameter;  // go on with the other pairs
  }
  return result;
}

std::uint32_t ParseAccessRequest(const char* request, AccessRequest& out) {
  out = AccessRequest{};
  if (request == nullptr) return kAccessInvalidParameter;
  return ReportingNoMemory(out, [&]() -> std::uint32_t {
    const std::string text(request);
    const std::size_t optionEnd = text.find(':');
    AccessMode mode = AccessMode::NotUsed;
    if (ParseAccessOption(text.substr(0, optionEnd).c_str(), mode) != kAccessOk)
      return kAccessInvalidParameter;

    if (optionEnd == std::string::npos) return kAccessInvalidParameter;  // no trustee
    const std::size_t trusteeEnd = text.find(':', optionEnd + 1);
    std::string trustee = text.substr(optionEnd + 1, trusteeEnd == std::string::npos
                                                         ? std::string::npos
                                                         : trusteeEnd - optionEnd - 1);
    if (trustee.empty()) return kAccessInvalidParameter;

    std::uint32_t mask = 0;
    if (mode == AccessMode::Grant || mode == AccessMode::Set || mode == AccessMode::Deny) {
      if (trusteeEnd == std::string::npos || trusteeEnd + 1 == text.size())
        return kAccessInvalidParameter;  // rights required
      // The field's own result is deliberately ignored: unknown pairs add nothing.
      ParseAccessRights(text.c_str() + trusteeEnd + 1, mask);
    }
    out.mode = mode;
    out.trustee = std::move(trustee);
    out.mask = mask;
    return kAccessOk;
  });
}

RootKey MapRootName(const char* name) {
  if (name == nullptr) return RootKey::None;
  for (const RootName& entry : kRootNames) {
    if (EqualNoCase(name, entry.longName) || EqualNoCase(name, entry.shortName)) return entry.root;
  }
  return RootKey::None;
}

std::uint32_t ParseKeyPath(const char* path, KeyPath& out) {
  out = KeyPath{};
  char work[kAccessWorkBufferSize];
  CopyBounded(work, path);
  return ReportingNoMemory(out, [&]() -> std::uint32_t {
    const char* rest = work;
    std::string machine;
    if (rest[0] == '\\' && rest[1] == '\\') {
      const char* nameEnd = std::strchr(rest + 2, '\\');
      if (nameEnd == nullptr) return kAccessInvalidParameter;  // no root name follows
      machine.assign(rest, nameEnd);  // kept with its two leading backslashes
      rest = nameEnd + 1;
    }
    const char* rootEnd = std::strchr(rest, '\\');
    const std::string rootName = rootEnd ? std::string(rest, rootEnd) : std::string(rest);
    const RootKey root = MapRootName(rootName.c_str());
    if (root == RootKey::None) return kAccessInvalidParameter;
    // Only these two roots can be reached on another computer.
    if (!machine.empty() && root != RootKey::LocalMachine && root != RootKey::Users)
      return kAccessInvalidParameter;

    out.machine = std::move(machine);
    out.root = root;
    if (rootEnd != nullptr) out.subKey = rootEnd + 1;
    return kAccessOk;
  });
}

}  // namespace vkp
