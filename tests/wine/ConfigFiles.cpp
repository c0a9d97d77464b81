#include "tests/wine/ConfigFiles.h"

#include "platform/WinHeaders.h"

namespace vkp::test {

std::string CurrentDirConfigPath() {
  char dir[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, dir);
  return std::string(dir) + "\\VKPM200_Config.ZEM";
}

std::string WindowsDirConfigPath() {
  char dir[MAX_PATH] = "";
  GetWindowsDirectoryA(dir, MAX_PATH);
  CreateDirectoryA((std::string(dir) + "\\VKP-M200").c_str(), nullptr);
  return std::string(dir) + "\\VKP-M200\\VKPM200_Config.ZEM";
}

void RemoveConfigFiles() {
  DeleteFileA(CurrentDirConfigPath().c_str());
  DeleteFileA(WindowsDirConfigPath().c_str());
}

}  // namespace vkp::test
