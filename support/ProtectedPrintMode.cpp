#include "support/ProtectedPrintMode.h"

#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

namespace {

// Both the group policy and the switch in Settings record the mode here.
constexpr char kModeKey[] = "Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";

// A REG_DWORD value of 1; missing, 0 or of another type reads as off.
bool FlagSet(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  return Os().RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
             ERROR_SUCCESS &&
         type == REG_DWORD && size == sizeof value && value == 1;
}

}  // namespace

bool ProtectedPrintModeOn() {
  // The mode exists on 64-bit Windows only, which records it in the 64-bit
  // view; asking for that view finds it even where the Policies key is not
  // shared between the views (Wine). A system that refuses the view flag
  // predates the mode, so the failed open reads as off, which is right there.
  UniqueRegKey key;
  if (Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, kModeKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) !=
      ERROR_SUCCESS)
    return false;
  return FlagSet(key.get(), "WindowsProtectedPrintGroupPolicyState") ||
         FlagSet(key.get(), "WindowsProtectedPrintMode");
}

}  // namespace vkp
