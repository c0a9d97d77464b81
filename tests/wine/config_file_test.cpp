#include <gtest/gtest.h>

#include <string>

#include "installer/ConfigFile.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/ConfigFiles.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

using test::CurrentDirConfigPath;
using test::WindowsDirConfigPath;
using test::WriteFileText;

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveConfigFiles();
    InitTraceLog();
  }
  void TearDown() override { test::RemoveConfigFiles(); }

  // The value, or "<none>" when the key gives nothing.
  static std::string Read(const char* key) {
    char buffer[kConfigValueSize];
    const char* value = GetDriverInfoFromFile(kConfigSection, key, buffer, sizeof buffer);
    if (value == nullptr) return "<none>";
    EXPECT_EQ(value, buffer);
    return value;
  }
};

TEST_F(ConfigFileTest, EveryKeyOfTheSectionIsRead) {
  WriteFileText(CurrentDirConfigPath(),
                "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=WLAN\r\nWLAN_PORT=9101\r\nWLAN_IP_1=192\r\n"
                "WLAN_IP_2=168\r\nWLAN_IP_3=0\r\nWLAN_IP_4=20\r\n");
  EXPECT_EQ(Read("PORTDLG"), "FALSE");
  EXPECT_EQ(Read("PORT"), "WLAN");
  EXPECT_EQ(Read("WLAN_PORT"), "9101");
  EXPECT_EQ(Read("WLAN_IP_1"), "192");
  EXPECT_EQ(Read("WLAN_IP_2"), "168");
  EXPECT_EQ(Read("WLAN_IP_3"), "0");
  EXPECT_EQ(Read("WLAN_IP_4"), "20");
  EXPECT_EQ(Read("OTHER"), "<none>");
}

TEST_F(ConfigFileTest, EachKeyComesFromTheFirstFileThatGivesIt) {
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORT=COM3\r\n");
  WriteFileText(WindowsDirConfigPath(), "[VKPM200]\r\nPORT=USB\r\nPORTDLG=FALSE\r\n");
  EXPECT_EQ(Read("PORT"), "COM3");
  EXPECT_EQ(Read("PORTDLG"), "FALSE");
}

TEST_F(ConfigFileTest, TheFileIsLookedForInTheCurrentDirectoryFirst) {
  test::FakeOs os;
  Read("PORT");
  const auto reads = os.CallsOf("GetPrivateProfileStringA");
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0].args.at(5), CurrentDirConfigPath());
  EXPECT_EQ(reads[1].args.at(5), WindowsDirConfigPath());
  EXPECT_EQ(reads[0].args.at(1), "PORT");
  EXPECT_EQ(reads[0].args.at(2), "(null)") << "no default value";
}

TEST_F(ConfigFileTest, AnEmptyValueCountsAsAbsentAndWritesTheFailureBlock) {
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORTDLG=\r\n");
  EXPECT_EQ(Read("PORTDLG"), "<none>");
  const std::string log = test::ReadTraceLog();
  const char* expected[] = {": \r\n\r\n", ": GetDriverInfoFromFile BEGIN\r\n", ": SECTION NAME : VKPM200\r\n",
                            ": KEY NAME : PORTDLG\r\n", ": GetDriverInfoFromFile failed. (",
                            ": GetDriverInfoFromFile END\r\n", ": \r\n\r\n"};
  std::size_t pos = 0;
  for (const char* line : expected) {
    const auto found = log.find(line, pos);
    ASSERT_NE(found, std::string::npos) << line << "\n" << log;
    pos = found + 1;
  }
}

TEST_F(ConfigFileTest, NoFileGivesNothingForEveryKey) {
  for (const char* key : {"PORTDLG", "PORT", "WLAN_PORT", "WLAN_IP_1"}) EXPECT_EQ(Read(key), "<none>");
}

TEST_F(ConfigFileTest, AMissingSectionGivesNothing) {
  WriteFileText(CurrentDirConfigPath(), "[OTHER]\r\nPORT=USB\r\n");
  EXPECT_EQ(Read("PORT"), "<none>");
}

TEST_F(ConfigFileTest, BinaryGarbageGivesNothingAndDoesNotCrash) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  WriteFileText(CurrentDirConfigPath(), garbage);
  EXPECT_EQ(Read("PORT"), "<none>");
}

TEST_F(ConfigFileTest, LongValuesAreCutToTheBuffer) {
  const std::string value255(255, '7');
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nWLAN_PORT=" + value255 + "\r\nPORT=" +
                                            std::string(100 * 1024, 'U') + "SB\r\n");
  EXPECT_EQ(Read("WLAN_PORT"), value255);
  const std::string port = Read("PORT");
  EXPECT_LE(port.size(), kConfigValueSize - 1);
  EXPECT_EQ(port.find("USB"), std::string::npos) << "the tail beyond the buffer is not seen";
}

TEST_F(ConfigFileTest, TheBufferIsZeroedBeforeEachRead) {
  char buffer[kConfigValueSize];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORT=USB\r\n");
  ASSERT_NE(GetDriverInfoFromFile(kConfigSection, "PORT", buffer, sizeof buffer), nullptr);
  EXPECT_EQ(buffer[kConfigValueSize - 1], '\0');
  EXPECT_EQ(std::string(buffer), "USB");
}

}  // namespace
}  // namespace vkp
