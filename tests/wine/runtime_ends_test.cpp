// The programs' replacements of the allocation operators and the runtime's
// throw helpers (ui/RuntimeEnds.cpp), linked in as the programs link them:
// an allocation that cannot be satisfied ends the process with 1603 and a
// trace entry, never with abort's box and 3.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "support/TraceLog.h"
#include "tests/wine/TraceReading.h"

namespace vkp {
const char* TraceLogFileName() { return "VKP-M200_RuntimeEndsTest.txt"; }
}  // namespace vkp

namespace vkp {
namespace {

TEST(RuntimeEnds, AnAllocationThatCannotBeSatisfiedEndsWith1603AndATraceEntry) {
  InitTraceLog();
  EXPECT_EXIT(
      {
        volatile std::size_t tooMuch = 0x7FFFFFF0u;  // more than a 32-bit process can have
        char* block = new char[tooMuch];
        block[0] = 1;
      },
      ::testing::ExitedWithCode(1603), "");
  EXPECT_TRUE(test::TraceHasEntry("RUNTIME FAILURE : out of memory")) << test::ReadTraceLog();
}

TEST(RuntimeEnds, AMisusedStringEndsTheSameWay) {
  InitTraceLog();
  EXPECT_EXIT(
      {
        std::string text("abc");
        volatile std::size_t beyond = 10;
        text.at(beyond) = 'x';
      },
      ::testing::ExitedWithCode(1603), "");
  EXPECT_TRUE(test::TraceHasEntry("RUNTIME FAILURE : string or container misused")) << test::ReadTraceLog();
}

}  // namespace
}  // namespace vkp
