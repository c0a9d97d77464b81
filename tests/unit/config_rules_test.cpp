#include "installer/pure/ConfigRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace vkp {
namespace {

TEST(LenientDecimal, TakesBlanksSignAndLeadingDigits) {
  EXPECT_EQ(LenientDecimal("9100"), 9100);
  EXPECT_EQ(LenientDecimal("   42"), 42);
  EXPECT_EQ(LenientDecimal("\t-7"), -7);
  EXPECT_EQ(LenientDecimal("+15"), 15);
  EXPECT_EQ(LenientDecimal("300abc"), 300);
  EXPECT_EQ(LenientDecimal("12 34"), 12);
  EXPECT_EQ(LenientDecimal("abc"), 0);
  EXPECT_EQ(LenientDecimal("- 5"), 0);
  EXPECT_EQ(LenientDecimal(""), 0);
  EXPECT_EQ(LenientDecimal(nullptr), 0);
  EXPECT_EQ(LenientDecimal("0x10"), 0);
}

TEST(LenientDecimal, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(LenientDecimal("2147483647"), INT_MAX);
  EXPECT_EQ(LenientDecimal("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(LenientDecimal("-2147483648"), INT_MIN);
  EXPECT_EQ(LenientDecimal("-99999999999999999999999"), INT_MIN);
}

TEST(PortDialogRequested, OnlyAValueWithoutUpperCaseTrueRunsSilently) {
  EXPECT_TRUE(PortDialogRequested(nullptr));
  EXPECT_TRUE(PortDialogRequested(""));
  EXPECT_TRUE(PortDialogRequested("TRUE"));
  EXPECT_TRUE(PortDialogRequested("NOTTRUE"));
  EXPECT_TRUE(PortDialogRequested("xTRUEx"));
  EXPECT_FALSE(PortDialogRequested("FALSE"));
  EXPECT_FALSE(PortDialogRequested("true"));
  EXPECT_FALSE(PortDialogRequested("0"));
}

TEST(PortTypeFromValue, FirstNameInFixedOrderWins) {
  EXPECT_EQ(PortTypeFromValue(nullptr), 0);
  EXPECT_EQ(PortTypeFromValue(""), 0);
  EXPECT_EQ(PortTypeFromValue("COM1"), 0);
  EXPECT_EQ(PortTypeFromValue("COM2"), 1);
  EXPECT_EQ(PortTypeFromValue("COM3"), 2);
  EXPECT_EQ(PortTypeFromValue("COM4"), 3);
  EXPECT_EQ(PortTypeFromValue("USB"), 4);
  EXPECT_EQ(PortTypeFromValue("WLAN"), 5);
  EXPECT_EQ(PortTypeFromValue("COM10"), 0) << "contains COM1";
  EXPECT_EQ(PortTypeFromValue("USB2"), 4);
  EXPECT_EQ(PortTypeFromValue("wlan"), 0) << "case-sensitive";
  EXPECT_EQ(PortTypeFromValue("WLAN,COM3"), 2) << "COM3 is tested before WLAN";
  EXPECT_EQ(PortTypeFromValue("LPT1"), 0);
}

TEST(TcpPortFromValue, ZeroAndTextGiveTheDefault) {
  EXPECT_EQ(TcpPortFromValue(nullptr), 9100);
  EXPECT_EQ(TcpPortFromValue("0"), 9100);
  EXPECT_EQ(TcpPortFromValue("abc"), 9100);
  EXPECT_EQ(TcpPortFromValue("20000"), 20000) << "taken unchanged";
  EXPECT_EQ(TcpPortFromValue("-5"), -5) << "taken unchanged";
  EXPECT_EQ(TcpPortFromValue("515"), 515);
}

TEST(OctetFromValue, OutOfRangeBecomes255) {
  EXPECT_EQ(OctetFromValue(nullptr), 0);
  EXPECT_EQ(OctetFromValue("192"), 192);
  EXPECT_EQ(OctetFromValue("255"), 255);
  EXPECT_EQ(OctetFromValue("256"), 255);
  EXPECT_EQ(OctetFromValue("300"), 255);
  EXPECT_EQ(OctetFromValue("-1"), 255);
  EXPECT_EQ(OctetFromValue("abc"), 0);
  EXPECT_EQ(OctetFromValue("0"), 0);
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
