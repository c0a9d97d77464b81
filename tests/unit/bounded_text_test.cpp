#include "support/BoundedText.h"

#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace vkp
