#include "support/TraceFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace vkp {
namespace {

std::string Entry(unsigned h, unsigned m, unsigned s, const char* format, ...) {
  char entry[kTraceEntryBufferSize];
  va_list args;
  va_start(args, format);
  const std::size_t length = FormatTraceEntry(entry, h, m, s, format, args);
  va_end(args);
  return std::string(entry, length);
}

TEST(TraceFormat, StampHasLeadingZerosAndColonBlank) {
  EXPECT_EQ(Entry(9, 5, 7, "CheckOS BEGIN"), "09:05:07: CheckOS BEGIN\r\n");
  EXPECT_EQ(Entry(23, 59, 59, "x"), "23:59:59: x\r\n");
  EXPECT_EQ(Entry(0, 0, 0, ""), "00:00:00: \r\n");
}

TEST(TraceFormat, SeparatorEntryGivesTwoLineEnds) {
  EXPECT_EQ(Entry(12, 0, 1, "\r\n"), "12:00:01: \r\n\r\n");
}

TEST(TraceFormat, ConversionsFillInOrder) {
  EXPECT_EQ(Entry(1, 2, 3, "ENV : %s, DRV DIR : %s ", "Windows x64", "Driver64\\"),
            "01:02:03: ENV : Windows x64, DRV DIR : Driver64\\ \r\n");
  EXPECT_EQ(Entry(1, 2, 3, "%d %u", -5, 7u), "01:02:03: -5 7\r\n");
}

TEST(TraceFormat, LongTextIsCutAt1013AndStillEndsWithCrLf) {
  const std::string text(5000, 'a');
  const std::string entry = Entry(1, 2, 3, "%s", text.c_str());
  ASSERT_EQ(entry.size(), 10u + 1013u + 2u);
  EXPECT_EQ(entry.substr(10, 1013), std::string(1013, 'a'));
  EXPECT_EQ(entry.substr(entry.size() - 2), "\r\n");
}

TEST(TraceFormat, TextOfExactly1013IsKeptWhole) {
  const std::string text(1013, 'b');
  const std::string entry = Entry(1, 2, 3, "%s", text.c_str());
  EXPECT_EQ(entry, "01:02:03: " + text + "\r\n");
}

}  // namespace
}  // namespace vkp
