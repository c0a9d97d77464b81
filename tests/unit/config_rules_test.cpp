#include "installer/pure/ConfigRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <utility>

namespace vkp {
namespace {

// Each row: a value as the configuration file gives it (null: missing) and
// what `rule` makes of it.
template <typename Result, typename Rule>
void ExpectRows(Rule rule, std::initializer_list<std::pair<const char*, Result>> rows) {
  for (const auto& [value, expected] : rows) EXPECT_EQ(rule(value), expected) << (value ? value : "(null)");
}

TEST(LenientDecimal, TakesBlanksSignAndLeadingDigits) {
  ExpectRows<int>(LenientDecimal, {{"9100", 9100}, {"   42", 42}, {"\t-7", -7}, {"+15", 15}, {"300abc", 300},
                                   {"12 34", 12}, {"abc", 0}, {"- 5", 0}, {"", 0}, {nullptr, 0}, {"0x10", 0}});
}

TEST(LenientDecimal, SaturatesInsteadOfOverflowing) {
  ExpectRows<int>(LenientDecimal, {{"2147483647", INT_MAX}, {"99999999999999999999999", INT_MAX},
                                   {"-2147483648", INT_MIN}, {"-99999999999999999999999", INT_MIN}});
}

TEST(PortDialogRequested, OnlyAValueWithoutUpperCaseTrueRunsSilently) {
  ExpectRows<bool>(PortDialogRequested, {{nullptr, true}, {"", true}, {"TRUE", true}, {"NOTTRUE", true},
                                         {"xTRUEx", true}, {"FALSE", false}, {"true", false}, {"0", false}});
}

TEST(PortTypeFromValue, FirstNameInFixedOrderWins) {
  ExpectRows<int>(PortTypeFromValue, {{nullptr, 0}, {"", 0}, {"COM1", 0}, {"COM2", 1}, {"COM3", 2}, {"COM4", 3},
                                      {"USB", 4}, {"WLAN", 5},
                                      {"COM10", 0},      // contains COM1
                                      {"USB2", 4},
                                      {"wlan", 0},       // case-sensitive
                                      {"WLAN,COM3", 2},  // COM3 is tested before WLAN
                                      {"LPT1", 0}});
}

TEST(TcpPortFromValue, ZeroAndTextGiveTheDefault) {
  // Any other number is taken unchanged.
  ExpectRows<int>(TcpPortFromValue,
                  {{nullptr, 9100}, {"0", 9100}, {"abc", 9100}, {"20000", 20000}, {"-5", -5}, {"515", 515}});
}

TEST(OctetFromValue, OutOfRangeBecomes255) {
  ExpectRows<int>(OctetFromValue, {{nullptr, 0}, {"192", 192}, {"255", 255}, {"256", 255}, {"300", 255},
                                   {"-1", 255}, {"abc", 0}, {"0", 0}});
}

TEST(FormatIpAddress, DottedDecimalCutToTheBuffer) {
  char out[16];
  FormatIpAddress(out, sizeof out, 192, 168, 0, 20);
  EXPECT_STREQ(out, "192.168.0.20");
  FormatIpAddress(out, sizeof out, 255, 255, 255, 255);
  EXPECT_STREQ(out, "255.255.255.255");
  char small[6];
  FormatIpAddress(small, sizeof small, 192, 168, 0, 20);
  EXPECT_STREQ(small, "192.1");
}

}  // namespace
}  // namespace vkp
