#include "support/BoundedText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vkp {
namespace {

TEST(BoundedText, CopyCutsAndTerminates) {
  char buf[4];
  std::memset(buf, 'x', sizeof buf);
  CopyBounded(buf, "abcdef");
  EXPECT_STREQ(buf, "abc");
  CopyBounded(buf, nullptr);
  EXPECT_STREQ(buf, "");
}

TEST(BoundedText, CopyNTakesAtMostNCharacters) {
  char buf[256];
  CopyBoundedN(buf, sizeof buf, "C:\\windows", 3);
  EXPECT_STREQ(buf, "C:\\");
  CopyBoundedN(buf, sizeof buf, "C:", 3);
  EXPECT_STREQ(buf, "C:");
}

TEST(BoundedText, AppendCutsAtCapacity) {
  char buf[8] = "abc";
  AppendBounded(buf, "defghij");
  EXPECT_STREQ(buf, "abcdefg");
  AppendBounded(buf, "zzz");
  EXPECT_STREQ(buf, "abcdefg");
}

TEST(BoundedText, AppendToUnterminatedBufferTerminatesIt) {
  char buf[4];
  std::memset(buf, 'x', sizeof buf);
  AppendBounded(buf, sizeof buf, "y");
  EXPECT_EQ(buf[3], '\0');
}

// Under Wine this is the system C library's formatter, which leaves a full
// buffer unterminated: the helper must cut and terminate it at every size.
TEST(BoundedText, FormatCutsAndTerminatesAtEverySize) {
  const char expected[] = "PORT : COM3 (42)";
  for (std::size_t cap = 1; cap <= sizeof expected + 1; ++cap) {
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    FormatBounded(buf, cap, "PORT : %s (%d)", "COM3", 42);
    EXPECT_EQ(std::string(buf), std::string(expected, std::min(cap - 1, sizeof expected - 1))) << cap;
    EXPECT_EQ(buf[cap], 'x') << "nothing written beyond the capacity, at " << cap;
  }
}

}  // namespace
}  // namespace vkp
