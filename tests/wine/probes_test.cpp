#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/SystemProbes.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

using test::FakeOs;

struct VersionRow {
  DWORD platform, major, minor, build;
  BYTE product;
  int code;
};

class CheckOsThroughTheSeam : public ::testing::TestWithParam<VersionRow> {
 protected:
  void SetUp() override { InitTraceLog(); }
};

TEST_P(CheckOsThroughTheSeam, ClassifiesAndTracesTheVersionRecord) {
  const VersionRow row = GetParam();
  FakeOs os;
  DWORD sizeSeen = 0;
  os.Replace<&PlatformApi::GetVersionExA>([&](LPOSVERSIONINFOA info) -> BOOL {
    sizeSeen = info->dwOSVersionInfoSize;
    auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
    ex->dwPlatformId = row.platform;
    ex->dwMajorVersion = row.major;
    ex->dwMinorVersion = row.minor;
    ex->dwBuildNumber = row.build;
    ex->wProductType = row.product;
    return TRUE;
  });
  EXPECT_EQ(CheckOS(), row.code);
  EXPECT_EQ(sizeSeen, 156u);
  const std::string log = test::ReadTraceLog();
  const std::string expected = ": \r\n\r\n";
  EXPECT_NE(log.find(expected), std::string::npos);
  EXPECT_NE(log.find(": CheckOS BEGIN\r\n"), std::string::npos);
  EXPECT_NE(log.find(": osvi.dwPlatformID   : " + std::to_string(row.platform) + "\r\n"), std::string::npos);
  EXPECT_NE(log.find(": osvi.dwMajorVersion : " + std::to_string(row.major) + "\r\n"), std::string::npos);
  EXPECT_NE(log.find(": osvi.dwMinorVersion : " + std::to_string(row.minor) + "\r\n"), std::string::npos);
  EXPECT_NE(log.find(": osvi.dwBuildNumber  : " + std::to_string(row.build) + "\r\n"), std::string::npos);
  EXPECT_NE(log.find(": CheckOS END\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, CheckOsThroughTheSeam,
                         ::testing::Values(VersionRow{1, 4, 0, 950, 0, 2000}, VersionRow{1, 4, 10, 1998, 0, 2001},
                                           VersionRow{1, 4, 90, 3000, 0, 2002}, VersionRow{1, 4, 20, 0, 0, 2010},
                                           VersionRow{2, 3, 51, 1057, 1, 2003}, VersionRow{2, 4, 0, 1381, 1, 2003},
                                           VersionRow{2, 5, 0, 2195, 1, 2004}, VersionRow{2, 5, 1, 2600, 1, 2005},
                                           VersionRow{2, 5, 2, 3790, 3, 2006}, VersionRow{2, 6, 0, 6002, 1, 2007},
                                           VersionRow{2, 6, 0, 6002, 3, 2008}, VersionRow{2, 6, 1, 7601, 3, 2009},
                                           VersionRow{2, 6, 1, 7601, 1, 2010}, VersionRow{2, 6, 2, 9200, 1, 2010},
                                           VersionRow{2, 10, 0, 19045, 1, 2010}));

TEST(CheckOsFailure, AFailedQueryTracesZerosAndGives2010) {
  InitTraceLog();
  FakeOs os;
  os.FailNth("GetVersionExA", 1, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(CheckOS(), 2010);
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find("osvi.dwPlatformID   : 0\r\n"), std::string::npos);
  EXPECT_NE(log.find("osvi.dwMajorVersion : 0\r\n"), std::string::npos);
}

TEST(IsWow64Probe, MissingEntryMeansA32BitSystem) {
  InitTraceLog();
  FakeOs os;
  os.FailNth("GetProcAddress", 1, ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(IsWow64(), 0);
  EXPECT_NE(test::ReadTraceLog().find(": The process is not running under WOW64.\r\n"), std::string::npos);
  const auto lookups = os.CallsOf("GetProcAddress");
  ASSERT_EQ(lookups.size(), 1u);
  EXPECT_EQ(lookups[0].args.at(1), "IsWow64Process");
  EXPECT_EQ(os.CallsOf("GetModuleHandleA").at(0).args.at(0), "kernel32");
}

// Against the real platform: the prefix's architecture and version setting.
TEST(RealProbes, IsWow64MatchesThePrefixArchitecture) {
  InitTraceLog();
  const char* arch = std::getenv("VKP_TEST_ARCH");
  if (arch == nullptr) GTEST_SKIP() << "VKP_TEST_ARCH not set";
  const bool expect64 = std::string(arch) == "win64";
  EXPECT_EQ(IsWow64() != 0, expect64);
  EXPECT_NE(test::ReadTraceLog().find(expect64 ? "The process is running under WOW64."
                                               : "The process is not running under WOW64."),
            std::string::npos);
}

TEST(RealProbes, CheckOsGivesTheCodeOfTheConfiguredRelease) {
  const char* expected = std::getenv("VKP_EXPECTED_OS_CODE");
  if (expected == nullptr) GTEST_SKIP() << "VKP_EXPECTED_OS_CODE not set";
  InitTraceLog();
  EXPECT_EQ(CheckOS(), std::atoi(expected)) << "Wine version " << std::getenv("VKP_TEST_WINVER");
}

}  // namespace
}  // namespace vkp
