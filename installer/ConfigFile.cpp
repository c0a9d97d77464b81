#include "installer/ConfigFile.h"

#include <cstring>

#include "platform/Os.h"
#include "support/BoundedText.h"
#include "support/PathSize.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {
constexpr char kConfigFileName[] = "VKPM200_Config.ZEM";

bool ReadValue(const char* section, const char* key, char* buffer, std::size_t size, const char* path) {
  std::memset(buffer, 0, size);
  const DWORD copied =
      Os().GetPrivateProfileStringA(section, key, nullptr, buffer, static_cast<DWORD>(size), path);
  return copied > 0 && buffer[0] != '\0';
}
}  // namespace

char* GetDriverInfoFromFile(const char* section, const char* key, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return nullptr;

  char path[kPathSize] = {};
  Os().GetCurrentDirectoryA(kPathSize, path);
  AppendBounded(path, "\\");
  AppendBounded(path, kConfigFileName);
  if (ReadValue(section, key, buffer, size, path)) return buffer;

  char windowsDir[kPathSize] = {};
  Os().GetWindowsDirectoryA(windowsDir, kPathSize);
  CopyBounded(path, windowsDir);
  AppendBounded(path, "\\");
  AppendBounded(path, "VKP-M200");
  AppendBounded(path, "\\");
  AppendBounded(path, kConfigFileName);
  if (ReadValue(section, key, buffer, size, path)) return buffer;
  const DWORD error = GetLastError();  // before tracing changes it

  WriteTraceLog("\r\n");
  WriteTraceLog("GetDriverInfoFromFile BEGIN");
  WriteTraceLog("SECTION NAME : %s", section);
  WriteTraceLog("KEY NAME : %s", key);
  WriteTraceLog("GetDriverInfoFromFile failed. (%d)", static_cast<int>(error));
  WriteTraceLog("GetDriverInfoFromFile END");
  WriteTraceLog("\r\n");
  return nullptr;
}

}  // namespace vkp
