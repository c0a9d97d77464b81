#include "msi/HiddenUninstallEntry.h"

#include "resources/Version.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

bool HideInstallerUninstallEntry() {
  UniqueRegKey entry;
  // The installer writes the 64-bit view on 64-bit Windows; Windows 2000
  // knows no views and refuses the flag, so it is tried without it there.
  LONG result = Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, VKP_UNINSTALL_KEY, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                   entry.put());
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    result = Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, VKP_UNINSTALL_KEY, 0, KEY_SET_VALUE, entry.put());
  if (result != ERROR_SUCCESS) return false;
  const DWORD hidden = 1;
  return Os().RegSetValueExA(entry.get(), "SystemComponent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hidden),
                             sizeof hidden) == ERROR_SUCCESS;
}

}  // namespace vkp
