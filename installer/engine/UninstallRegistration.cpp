#include <cstring>
#include <string>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/RegistryKeyRemoval.h"
#include "support/TraceLog.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

constexpr std::size_t kTextSize = 256;

void SetText(HKEY key, const char* name, const char* text) {
  const LONG result = Os().RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                          static_cast<DWORD>(std::strlen(text) + 1));
  if (result != ERROR_SUCCESS) WriteTraceLog("RegSetValueEx failed : %s, (%d) ", name, static_cast<int>(result));
}

}  // namespace

void InstallEngine::RegisterUninstallInfo() {
  WriteTraceLog("\r\n");
  WriteTraceLog("RegisterUninstallInfo BEGIN");
  char subKey[kTextSize];
  CopyBounded(subKey, ui::LoadResourceString(IDS_UNINSTALL_KEY).c_str());
  WriteTraceLog("REGKEY : %s", subKey);

  // A 32-bit program on 64-bit Windows would otherwise land in Wow6432Node,
  // where the 64-bit Programs and Features list does not look.
  const REGSAM view = bIs64Bit ? KEY_WOW64_64KEY : 0;

  // An older entry goes first, with whatever it holds.
  {
    UniqueRegKey older;
    if (Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ | KEY_WRITE | view, older.put()) ==
        ERROR_SUCCESS) {
      if (bIs64Bit) {
        const LONG result = MyRegDeleteKeyEx(HKEY_LOCAL_MACHINE, subKey, KEY_WOW64_64KEY, 0);
        if (result != ERROR_SUCCESS)
          WriteTraceLog("MyRegDeleteKeyEx failed : %s, (%d) ", subKey,
                        static_cast<int>(result > 0 ? static_cast<DWORD>(result) : Os().GetLastError()));
      } else {
        const LONG result = Os().SHDeleteKeyA(HKEY_LOCAL_MACHINE, subKey);
        if (result != ERROR_SUCCESS)
          WriteTraceLog("SHDeleteKey failed : %s , (%d) ", subKey, static_cast<int>(result));
      }
    }
  }

  UniqueRegKey key;
  const LONG created = Os().RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_WRITE | view, nullptr, key.put(), nullptr);
  if (created != ERROR_SUCCESS) {
    WriteTraceLog(bIs64Bit ? "RegCreateKeyEx failed : %s, (%d) " : "RegCreateKeyEx failed : %s , (%d) ", subKey,
                  static_cast<int>(created));
    WriteTraceLog("RegisterUninstallInfo END");
    return;
  }

  char displayName[kTextSize];
  CopyBounded(displayName, ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME).c_str());
  AppendBounded(displayName, " Windows Driver V");
  AppendBounded(displayName, ui::LoadResourceString(IDS_VERSION_MAJOR).c_str());
  AppendBounded(displayName, ".");
  AppendBounded(displayName, ui::LoadResourceString(IDS_VERSION_MINOR).c_str());
  AppendBounded(displayName, ".");
  AppendBounded(displayName, ui::LoadResourceString(IDS_VERSION_BUILD).c_str());
  SetText(key.get(), "DisplayName", displayName);

  char windowsDir[kTextSize];
  const UINT length = Os().GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
  if (length == 0 || length >= sizeof windowsDir) {
    WriteTraceLog("GetWindowsDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
    WriteTraceLog("No Windows directory: UninstallString not written");
  } else {
    char uninstallString[kTextSize];
    CopyBounded(uninstallString, windowsDir);
    AppendBounded(uninstallString, "\\");
    AppendBounded(uninstallString, ui::LoadResourceString(IDS_MODEL_NAME).c_str());
    AppendBounded(uninstallString, "\\");
    AppendBounded(uninstallString, ui::LoadResourceString(IDS_UNINSTALLER_EXE).c_str());
    SetText(key.get(), "UninstallString", uninstallString);
  }

  if (!strINFName.empty()) {
    char infFile[kTextSize];
    CopyBounded(infFile, strINFName.c_str());
    SetText(key.get(), "InfFile", infFile);
  }

  key.reset();
  WriteTraceLog("RegisterUninstallInfo END");
}

}  // namespace vkp
