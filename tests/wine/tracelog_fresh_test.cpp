// A process that has not initialised its trace log yet: entries go nowhere.
// (Its own program: once initialised, the path stays for the process.)
#include <gtest/gtest.h>

#include <string>

#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

TEST(TraceLogBeforeInitialisation, WritesNothingAndReportsNothing) {
  test::SetTraceLogFileName("VKP-M200_Installer.txt");
  ASSERT_STREQ(TraceLogPath(), "") << "this program never initialised its trace";
  test::FakeOs os;
  WriteTraceLog("too early");
  WriteTraceLog("%s", "also too early");
  EXPECT_EQ(os.CountOf("CreateFileA"), 0);
  EXPECT_EQ(os.CountOf("WriteFile"), 0);
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string log = std::string(windows, 3) + "Temp\\VKP-M200_Installer.txt";
  EXPECT_EQ(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vkp
