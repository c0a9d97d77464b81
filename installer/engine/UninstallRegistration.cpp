#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/RegistryKeyRemoval.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

constexpr std::size_t kTextSize = 256;

void SetText(HKEY key, const char* name, const char* text) {
  const LONG result = Os().RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                          static_cast<DWORD>(std::strlen(text) + 1));
  if (result != ERROR_SUCCESS) WriteTraceLog("RegSetValueEx failed : %s, (%d) ", name, static_cast<int>(result));
}

void SetNumber(HKEY key, const char* name, DWORD number) {
  const LONG result =
      Os().RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  if (result != ERROR_SUCCESS) WriteTraceLog("RegSetValueEx failed : %s, (%d) ", name, static_cast<int>(result));
}

std::uint64_t SizeOf(const WIN32_FIND_DATAA& found) {
  return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// Bytes of the files matching `pattern`, folders left out; nothing found counts 0.
std::uint64_t BytesOfFiles(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  UniqueFind search(Os().FindFirstFileA(pattern.c_str(), &found));
  if (!search) return 0;
  std::uint64_t bytes = 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) bytes += SizeOf(found);
  } while (Os().FindNextFileA(search.get(), &found));
  return bytes;
}

}  // namespace

void InstallEngine::RegisterUninstallInfo() {
  TraceScope trace("RegisterUninstallInfo");
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

  // The installation folder and the uninstaller in it; empty when the
  // Windows directory is unknown.
  char installLocation[kTextSize] = "";
  char uninstallString[kTextSize] = "";
  char windowsDir[kTextSize];
  const UINT length = Os().GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
  if (length == 0 || length >= sizeof windowsDir) {
    WriteTraceLog("GetWindowsDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
    WriteTraceLog("No Windows directory: UninstallString not written");
  } else {
    CopyBounded(installLocation, windowsDir);
    AppendBounded(installLocation, "\\");
    AppendBounded(installLocation, ui::LoadResourceString(IDS_MODEL_NAME).c_str());
    CopyBounded(uninstallString, installLocation);
    AppendBounded(uninstallString, "\\");
    AppendBounded(uninstallString, ui::LoadResourceString(IDS_UNINSTALLER_EXE).c_str());
    SetText(key.get(), "UninstallString", uninstallString);
  }

  if (!strINFName.empty()) {
    char infFile[kTextSize];
    CopyBounded(infFile, strINFName.c_str());
    SetText(key.get(), "InfFile", infFile);
  }

  // What Programs and Features shows beside the name.
  char version[kTextSize];
  CopyBounded(version, ui::LoadResourceString(IDS_VERSION_MAJOR).c_str());
  AppendBounded(version, ".");
  AppendBounded(version, ui::LoadResourceString(IDS_VERSION_MINOR).c_str());
  AppendBounded(version, ".");
  AppendBounded(version, ui::LoadResourceString(IDS_VERSION_BUILD).c_str());
  SetText(key.get(), "DisplayVersion", version);

  char publisher[kTextSize];
  CopyBounded(publisher, ui::LoadResourceString(IDS_MAKER).c_str());
  SetText(key.get(), "Publisher", publisher);

  if (uninstallString[0] != '\0') {
    SetText(key.get(), "DisplayIcon", uninstallString);
    SetText(key.get(), "InstallLocation", installLocation);
  }

  // The size of what the installer copies from its folder: the driver files
  // and the uninstaller, in KB rounded up.
  std::uint64_t bytes = BytesOfFiles(strSourceDir + ui::LoadResourceString(IDS_UNINSTALLER_EXE));
  if (!strDriverDir.empty()) bytes += BytesOfFiles(strDriverDir + "*");
  const std::uint64_t kilobytes = (bytes + 1023) / 1024;
  SetNumber(key.get(), "EstimatedSize", kilobytes > MAXDWORD ? MAXDWORD : static_cast<DWORD>(kilobytes));

  // The entry removes the driver and nothing else: no change or repair buttons.
  SetNumber(key.get(), "NoModify", 1);
  SetNumber(key.get(), "NoRepair", 1);

  if (uninstallString[0] != '\0') {
    // Quoted: the Windows directory may hold spaces.
    std::string quiet = "\"";
    quiet += uninstallString;
    quiet += "\" /quiet";
    SetText(key.get(), "QuietUninstallString", quiet.c_str());
  }

  key.reset();
}

bool InstallEngine::UninstallEntryWhole() {
  // QuietUninstallString is written last: with it there, the entry is whole.
  const REGSAM view = bIs64Bit ? KEY_WOW64_64KEY : 0;
  char uninstallString[kTextSize] = "";
  char quietString[kTextSize] = "";
  {
    UniqueRegKey key;
    if (Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, ui::LoadResourceString(IDS_UNINSTALL_KEY).c_str(), 0, KEY_READ | view,
                           key.put()) == ERROR_SUCCESS) {
      for (auto [name, text] : {std::pair{"UninstallString", uninstallString}, std::pair{"QuietUninstallString", quietString}}) {
        DWORD type = 0;
        DWORD size = kTextSize - 1;
        if (Os().RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
          text[0] = '\0';
      }
    }
  }
  return uninstallString[0] != '\0' && quietString[0] != '\0' &&
         Os().GetFileAttributesA(uninstallString) != INVALID_FILE_ATTRIBUTES;
}

void InstallEngine::CompleteUninstallRegistration() {
  if (UninstallEntryWhole()) return;
  WriteTraceLog("UNINSTALL ENTRY MISSING : registered again");
  RegisterUninstallInfo();
  CopyFilesOfUtilities();
}

}  // namespace vkp
