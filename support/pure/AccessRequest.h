// The text forms of a registry access override: the override text
// "/<option>:<trustee>:<rights>" (for example "/PG:Everyone:Fc") and the key
// path "[\\machine\]ROOT[\subkey]". Pure: the constants carry the numeric
// values of their Windows counterparts, which the Windows side checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vkp {

// Result codes (Windows error codes).
constexpr std::uint32_t kAccessOk = 0;                 // ERROR_SUCCESS
constexpr std::uint32_t kAccessNoMemory = 8;           // ERROR_NOT_ENOUGH_MEMORY
constexpr std::uint32_t kAccessInvalidParameter = 87;  // ERROR_INVALID_PARAMETER

// Values of ACCESS_MODE.
enum class AccessMode : int { NotUsed = 0, Grant = 1, Set = 2, Deny = 3, Revoke = 4 };

// Masks of the rights codes "Fc", "Rd", "Wr".
constexpr std::uint32_t kRightsFullControl = 0xF003F;  // KEY_ALL_ACCESS
constexpr std::uint32_t kRightsRead = 0x20019;         // KEY_READ
constexpr std::uint32_t kRightsWrite = 0x20026;        // KEY_WRITE | KEY_CREATE_LINK

// Values of the predefined root keys.
enum class RootKey : std::uint32_t {
  None = 0,
  ClassesRoot = 0x80000000u,   // HKEY_CLASSES_ROOT
  CurrentUser = 0x80000001u,   // HKEY_CURRENT_USER
  LocalMachine = 0x80000002u,  // HKEY_LOCAL_MACHINE
  Users = 0x80000003u,         // HKEY_USERS
};

// Work buffers for rights fields and key paths: longer texts are cut to
// 511 characters before they are looked at.
constexpr std::size_t kAccessWorkBufferSize = 512;

// Option field: the 2nd and 3rd characters choose the mode ("PD", "PG",
// "PR", "PS", any case); "P" with anything else is refused (87); a 2nd
// character other than P means NotUsed.
std::uint32_t ParseAccessOption(const char* field, AccessMode& mode);

// Rights field: two-letter codes OR-ed into mask. An unknown pair adds
// nothing and makes the result 87; an odd length gives mask 0 and 87.
std::uint32_t ParseAccessRights(const char* field, std::uint32_t& mask);

struct AccessRequest {
  AccessMode mode = AccessMode::NotUsed;
  std::string trustee;
  std::uint32_t mask = 0;
};

// The whole override text, parsed from a private copy (the caller's text is never
// changed). The rights field is read, and required, only for Grant, Set and
// Deny; its own result is ignored and its mask used.
std::uint32_t ParseAccessRequest(const char* request, AccessRequest& out);

// Root names, whole and in any case: HKEY_LOCAL_MACHINE/HKLM, HKEY_USERS/HKU,
// HKEY_CLASSES_ROOT/HKCR, HKEY_CURRENT_USER/HKCU. None when unknown.
RootKey MapRootName(const char* name);

struct KeyPath {
  std::string machine;  // "\\name" for another computer, else empty
  RootKey root = RootKey::None;
  std::string subKey;   // empty: the root key itself
};

// Splits a key path. Refused (87): an unknown root name, and HKCU or HKCR on
// another computer.
std::uint32_t ParseKeyPath(const char* path, KeyPath& out);

}  // namespace vkp
