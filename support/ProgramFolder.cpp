#include "support/ProgramFolder.h"

#include <cstring>

#include "platform/Os.h"

namespace vkp {

bool EnterProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = Os().GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;  // cut paths are not ours
  char* lastSlash = std::strrchr(path, '\\');
  if (lastSlash == nullptr) return false;
  // Keep the backslash of a drive's root ("C:\").
  lastSlash[lastSlash > path && lastSlash[-1] == ':' ? 1 : 0] = '\0';
  return Os().SetCurrentDirectoryA(path) != FALSE;
}

}  // namespace vkp
