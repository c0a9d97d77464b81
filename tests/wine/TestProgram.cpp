#include "tests/wine/TestProgram.h"

#include <fstream>
#include <sstream>

#include "support/TraceLog.h"

namespace vkp {

namespace {
std::string gTraceLogName = "VKP-M200_Installer.txt";
}

const char* TraceLogFileName() { return gTraceLogName.c_str(); }

namespace test {

void SetTraceLogFileName(const std::string& name) { gTraceLogName = name; }

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReadTraceLog() { return ReadFileText(TraceLogPath()); }

}  // namespace test
}  // namespace vkp
