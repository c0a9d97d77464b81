#include "tests/wine/TestProgram.h"

#include "support/TraceLog.h"

namespace vkp {

namespace {
std::string gTraceLogName = "VKP-M200_Installer.txt";
}

const char* TraceLogFileName() { return gTraceLogName.c_str(); }

namespace test {

void SetTraceLogFileName(const std::string& name) { gTraceLogName = name; }

std::string InStartFolder(const std::string& name) {
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, directory);
  return std::string(directory) + "\\" + name;
}

bool IsSystemProgram(const char* path) {
  char directory[MAX_PATH];
  const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
  if (path == nullptr || length == 0 || length >= MAX_PATH) return false;
  const std::string text(path);
  const auto slash = text.find_last_of('\\');
  return slash != std::string::npos && lstrcmpiA(text.substr(0, slash).c_str(), directory) == 0;
}

}  // namespace test

}  // namespace vkp
