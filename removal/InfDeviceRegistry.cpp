// OEM INF copies of the model, USB device nodes, the USBPRINT key and the
// uninstall entry.
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "removal/RemovalEngine.h"
#include "resources/ModelStringIds.h"
#include "support/BoundedText.h"
#include "support/OsClassification.h"
#include "support/PathSize.h"
#include "support/RegistryKeyRemoval.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

namespace {

constexpr DWORD kKeyPairSize = 512;
constexpr DWORD kUninstallKeySize = 520;

using SetupUninstallOEMInfAFn = BOOL(WINAPI*)(PCSTR, DWORD, PVOID);

// "oemN.inf" -> "oemN.PNF" (the last ".inf", case-sensitive); empty when
// the name has no ".inf".
std::string PrecompiledName(const std::string& path) {
  const std::size_t at = path.rfind(".inf");
  if (at == std::string::npos) return std::string();
  std::string result = path;
  result.replace(at, 4, ".PNF");
  return result;
}

// The INF names of a directory (INF_STYLE_WIN4), listed by the wide
// function: the narrow one cannot size its buffer on every system. The list
// as the system gives it: names one after the other, an empty one last.
std::vector<wchar_t> ListInfFiles(const char* directory) {
  std::vector<wchar_t> names(1, L'\0');
  wchar_t wideDirectory[kPathSize] = L"";
  if (Os().MultiByteToWideChar(CP_ACP, 0, directory, -1, wideDirectory, static_cast<int>(kPathSize)) == 0)
    return names;
  DWORD needed = 0;
  Os().SetupGetInfFileListW(wideDirectory, INF_STYLE_WIN4, nullptr, 0, &needed);
  if (needed == 0) return names;
  std::vector<wchar_t> list(needed + 2, L'\0');
  if (!Os().SetupGetInfFileListW(wideDirectory, INF_STYLE_WIN4, list.data(), needed, &needed)) return names;
  return list;
}

}  // namespace

void RemovalEngine::ForEachModelInf(const char* section, const char* key, bool traceFailures,
                                    const std::function<void(const char*, const wchar_t*, const char*)>& found) {
  char windowsDirectory[kPathSize] = "";
  if (Os().GetWindowsDirectoryA(windowsDirectory, kPathSize) == 0) {
    if (traceFailures) WriteTraceLog("GetWindowsDirectory failed");
    return;
  }
  char infDirectory[kPathSize] = "";
  CopyBounded(infDirectory, windowsDirectory);
  AppendBounded(infDirectory, "\\inf");
  const std::vector<wchar_t> list = ListInfFiles(infDirectory);
  for (const wchar_t* wideName = list.data(); *wideName != L'\0'; wideName += std::wcslen(wideName) + 1) {
    char name[kPathSize] = "";
    if (Os().WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, static_cast<int>(kPathSize), nullptr, nullptr) == 0)
      continue;
    if (std::strncmp(name, "oem", 3) != 0) continue;

    char infPath[kPathSize] = "";
    CopyBounded(infPath, infDirectory);
    AppendBounded(infPath, "\\");
    AppendBounded(infPath, name);
    {
      UniqueInf inf(Os().SetupOpenInfFileA(infPath, nullptr, INF_STYLE_OLDNT | INF_STYLE_WIN4, nullptr));
      if (!inf) {
        if (traceFailures) WriteTraceLog("SetupOpenInfFile failed. %d", static_cast<int>(Os().GetLastError()));
        continue;
      }
      INFCONTEXT line{};
      if (!Os().SetupFindFirstLineA(inf.get(), section, key, &line)) continue;
    }
    found(name, wideName, infPath);
  }
}

std::string RemovalEngine::ModelInfSection() {
  return Load(host_.ids.maker) + (host_.bIs64Bit ? ".NTamd64" : "");
}

bool RemovalEngine::ModelInfInStore() {
  const std::string section = ModelInfSection();
  const std::string key = Load(IDS_MODEL_DISPLAY_NAME);
  bool found = false;
  ForEachModelInf(section.c_str(), key.c_str(), false, [&found](const char*, const wchar_t*, const char*) { found = true; });
  return found;
}

void RemovalEngine::DeleteINFFile() {
  TraceScope trace("DeleteINFFile");
  const bool uninstaller = IsUninstaller();
  if (uninstaller) ReportStep("Deleting the INF file...", false, 100);

  char section[kPathSize] = "";
  CopyBounded(section, ModelInfSection().c_str());
  WriteTraceLog("SECTION NAME : %s", section);
  char key[kPathSize] = "";
  CopyBounded(key, Load(IDS_MODEL_DISPLAY_NAME).c_str());
  if (uninstaller) WriteTraceLog("KEY NAME : %s", key);

  bool found = false;
  ForEachModelInf(section, key, uninstaller, [&](const char* name, const wchar_t* wideName, const char* infPath) {
    found = true;
    if (host_.bIs64Bit || host_.nOSVersion >= kOsVista) {
      HMODULE setupapi = Os().GetModuleHandleA("setupapi");
      auto uninstallOemInf = reinterpret_cast<SetupUninstallOEMInfAFn>(
          reinterpret_cast<void*>(Os().GetProcAddress(setupapi, "SetupUninstallOEMInfA")));
      if (uninstallOemInf == nullptr) return;
      char infName[kKeyPairSize] = "";
      CopyBounded(infName, name);
      if (uninstallOemInf(infName, SUOI_FORCEDELETE, nullptr)) {
        // The system leaves the precompiled copy behind.
        const std::string pnf = PrecompiledName(infPath);
        if (!pnf.empty() && !Os().DeleteFileA(pnf.c_str())) LogDeleteFileError(pnf.c_str(), Os().GetLastError());
      } else if (uninstaller) {
        WriteTraceLog("fnSetupUninstallOEMInf failed, %ls, %d", wideName, static_cast<int>(Os().GetLastError()));
      }
    } else {
      if (Os().DeleteFileA(infPath)) {
        if (uninstaller) WriteTraceLog("'%s' has been deleted successfully.", infPath);
      } else {
        LogDeleteFileError(infPath, Os().GetLastError());
      }
      const std::string pnf = PrecompiledName(infPath);
      if (!pnf.empty() && !Os().DeleteFileA(pnf.c_str())) LogDeleteFileError(pnf.c_str(), Os().GetLastError());
    }
  });
  if (!found && uninstaller) WriteTraceLog("The key name was not found.");
}

void RemovalEngine::DeleteVidPid() {
  TraceScope trace("DeleteVidPid");
  ReportStep("Deleting Vid & Pid info...", IsUninstaller(), 500);
  char hardwareIdPrefix[kPathSize] = "USB\\";
  AppendBounded(hardwareIdPrefix, Load(IDS_USB_ID).c_str());
  RemoveUsbDevices(hardwareIdPrefix);
  WriteTraceLog("VID&PID : %s", hardwareIdPrefix);
}

void RemovalEngine::Delete_USB_Info() {
  const bool uninstaller = IsUninstaller();
  const char* stepName = uninstaller ? "Delete_USB_Info" : "Delete_LPT_USB_Info";
  TraceScope trace(stepName);
  ReportStep("Deleting information of LPT and USB...", uninstaller, 500);
  char subKey[kKeyPairSize] = "";
  CopyBounded(subKey, Load(IDS_USBPRINT_KEY).c_str());
  char fullPath[kKeyPairSize] = "HKLM\\";
  AppendBounded(fullPath, subKey);
  RemoveRegKey(fullPath, subKey, host_.bIs64Bit);
}

int RemovalEngine::DeleteUninstallationInfo(const char* modelName) {
  WriteTraceLog("\r\n");
  WriteTraceLog("DeleteUninstallationInfo BEGIN");
  char key[kPathSize] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  AppendBounded(key, Load(host_.ids.maker).c_str());
  AppendBounded(key, "_");
  AppendBounded(key, modelName);
  if (IsUninstaller()) WriteTraceLog("RegKey : %s", key);
  if (!DeleteMachineKey(key)) return 0;
  WriteTraceLog("DeleteUninstallationInfo END");
  return 1;
}

void RemovalEngine::DeleteUninstallInfoFromReg() {
  TraceScope trace("DeleteUninstallInfoFromReg");
  char key[kUninstallKeySize] = "";
  CopyBounded(key, Load(IDS_UNINSTALL_KEY).c_str());
  WriteTraceLog("REGKEY : %s", key);
  const REGSAM access = KEY_READ | KEY_WRITE | (host_.bIs64Bit ? KEY_WOW64_64KEY : 0);
  HKEY opened = nullptr;
  if (Os().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, access, &opened) == ERROR_SUCCESS) {
    UniqueRegKey existing(opened);
    DeleteMachineKey(key);
  }
}

}  // namespace vkp::removal
