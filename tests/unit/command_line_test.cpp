#include "support/pure/CommandLine.h"

#include "msi/pure/DeploymentProperties.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vkp {
namespace {

constexpr ProgramKind kIns = ProgramKind::Installer;
constexpr ProgramKind kUni = ProgramKind::Uninstaller;

// Every field in one text, "flags|log|port|a.b.c.d:tcpport" (flags from
// "qpnf"), so that a row states the whole expected result.
std::string Describe(const CommandLineOptions& o) {
  std::string text = std::string(o.quiet ? "q" : "") + (o.passive ? "p" : "") +
                     (o.noRestart ? "n" : "") + (o.forceRestart ? "f" : "");
  text += "|" + o.logPath + "|" + std::to_string(o.portType) + "|";
  for (int i = 0; i < 4; ++i) text += std::to_string(o.octets[i]) + (i < 3 ? "." : ":");
  return text + std::to_string(o.tcpPort);
}

struct CommandLineRow {
  const char* line;
  ProgramKind kind;
  const char* expected;  // accepted: Describe() of the result; refused: text the error names
};
void PrintTo(const CommandLineRow& row, std::ostream* out) {
  *out << (row.line != nullptr ? row.line : "(nullptr)");
}

class CommandLineAccepted : public ::testing::TestWithParam<CommandLineRow> {};

TEST_P(CommandLineAccepted, GivesTheOptionsOfItsRow) {
  const CommandLineRow& row = GetParam();
  CommandLineOptions options;
  std::string error = "stale";
  ASSERT_TRUE(ParseCommandLine(row.line, row.kind, options, error)) << error;
  EXPECT_EQ(Describe(options), row.expected);
  EXPECT_EQ(error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineAccepted,
    ::testing::Values(
        CommandLineRow{nullptr, kUni, "||-1|0.0.0.0:0"},
        CommandLineRow{" \t ", kIns, "||-1|0.0.0.0:0"},
        CommandLineRow{"/QUIET -norestart", kUni, "qn||-1|0.0.0.0:0"},
        CommandLineRow{"-LOG=c:\\t.log\t/passive", kUni, "p|c:\\t.log|-1|0.0.0.0:0"},
        CommandLineRow{"-Passive /forceRestart /port=usb", kIns, "pf||4|0.0.0.0:0"},
        CommandLineRow{"/log=\"C:\\My Logs\\\" /port=COM3", kIns, "|C:\\My Logs\\|2|0.0.0.0:0"},
        CommandLineRow{"/tcpport=10000 /ip=255.0.010.9 /port=Wlan", kIns, "||5|255.0.10.9:10000"},
        CommandLineRow{"/port=WLAN /ip=192.168.1.20", kIns, "||5|192.168.1.20:9100"}));

class CommandLineRefused : public ::testing::TestWithParam<CommandLineRow> {};

TEST_P(CommandLineRefused, NamesTheOffendingSwitchOrValue) {
  const CommandLineRow& row = GetParam();
  CommandLineOptions options;
  std::string error;
  EXPECT_FALSE(ParseCommandLine(row.line, row.kind, options, error));
  EXPECT_NE(error.find(row.expected), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_EQ(Describe(options), Describe(CommandLineOptions()));
}

const std::string kLongLog = "/log=" + std::string(260, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineRefused,
    ::testing::Values(
        CommandLineRow{"/quiet /silent", kIns, "/silent"}, CommandLineRow{"quiet", kIns, "quiet"},
        CommandLineRow{"/quiet \"\"", kIns, "\"\""}, CommandLineRow{"/log", kIns, "/log"},
        CommandLineRow{"/log=\" \"", kIns, "/log"}, CommandLineRow{kLongLog.c_str(), kIns, "/log"},
        CommandLineRow{"/quiet=yes", kIns, "/quiet"}, CommandLineRow{"/quiet -Quiet", kUni, "/quiet"},
        CommandLineRow{"/passive /quiet", kIns, "/passive"},
        CommandLineRow{"/forcerestart /norestart", kUni, "/forcerestart"}, CommandLineRow{"/port=USB", kUni, "/port"},
        CommandLineRow{"/port=COM5", kIns, "COM5"}, CommandLineRow{"/port=USB /ip=1.2.3.4", kIns, "/ip"},
        CommandLineRow{"/tcpport=80", kIns, "/tcpport"}, CommandLineRow{"/port=WLAN", kIns, "/ip"},
        CommandLineRow{"/port=WLAN /ip=1.2.3.256", kIns, "1.2.3.256"},
        CommandLineRow{"/port=WLAN /ip=1.2.3", kIns, "1.2.3"}, CommandLineRow{"/port=WLAN /ip=", kIns, "/ip"},
        CommandLineRow{"/port=WLAN /ip=1.2.3.4.", kIns, "1.2.3.4."},
        CommandLineRow{"/port=WLAN /ip=1.2.3.0004", kIns, "0004"},
        CommandLineRow{"/port=WLAN /ip=1.2.3.4 /tcpport=10001", kIns, "10001"},
        CommandLineRow{"/port=WLAN /ip=1.2.3.4 /tcpport=0", kIns, "/tcpport"},
        CommandLineRow{"/log=\"C:\\a b", kIns, "C:\\a b"}));

// The Windows Installer package's public properties become the installer's
// switches only as the installer itself would take them, and never smuggle in
// a switch of their own.
TEST(DeploymentProperties, BecomeTheInstallersPortSwitches) {
  std::string switches, error;
  ASSERT_TRUE(InstallerSwitchesFromProperties({"wlan", "192.168.0.20", "9101"}, switches, error)) << error;
  EXPECT_EQ(switches, "/port=wlan /ip=192.168.0.20 /tcpport=9101");
  ASSERT_TRUE(InstallerSwitchesFromProperties({"COM1", "", ""}, switches, error)) << error;
  EXPECT_EQ(switches, "/port=COM1");
  const struct {
    DeploymentProperties properties;
    const char* named;
  } refused[] = {{{"", "", ""}, "PORT is required"},
                 {{"COM9", "", ""}, "COM9"},
                 {{"WLAN", "192.168.0.256", ""}, "192.168.0.256"},
                 {{"WLAN", "", ""}, "/ip"},
                 {{"COM1", "10.0.0.1", ""}, "/ip"},
                 {{"WLAN /log=C:\\x", "1.2.3.4", ""}, "PORT"},
                 {{"WLAN", "1.2.3.4\" /log=\"C:\\x", ""}, "IP"},
                 {{"WLAN", "1.2.3.4", "91 00"}, "TCPPORT"}};
  for (const auto& row : refused) {
    switches = "left over";
    EXPECT_FALSE(InstallerSwitchesFromProperties(row.properties, switches, error)) << row.named;
    EXPECT_NE(error.find(row.named), std::string::npos) << error;
    EXPECT_TRUE(switches.empty());
  }
}

TEST(DeploymentProperties, CommandLinesLogsAndOutcomes) {
  EXPECT_EQ(UnattendedCommandLine("C:\\Program Files\\NORVEKA\\VKPM200\\VKPM200_Installer.exe", "/port=USB",
                                  "C:\\l.log.VKPM200_Installer.log"),
            "\"C:\\Program Files\\NORVEKA\\VKPM200\\VKPM200_Installer.exe\" /quiet /norestart /port=USB "
            "/log=\"C:\\l.log.VKPM200_Installer.log\"");
  EXPECT_EQ(UnattendedCommandLine("C:\\u.exe", "", ""), "\"C:\\u.exe\" /quiet /norestart");
  EXPECT_EQ(ProgramLogNextTo("C:\\l.log", "VKPM200_Installer"), "C:\\l.log.VKPM200_Installer.log");
  EXPECT_EQ(ProgramLogNextTo("", "VKPM200_Installer"), "");
  EXPECT_EQ(ProgramLogNextTo("C:\\" + std::string(240, 'a'), "VKPM200_Installer"), "") << "longer than /log takes";
  EXPECT_EQ(OutcomeOfExitCode(0), ActionOutcome::Success);
  EXPECT_EQ(OutcomeOfExitCode(3010), ActionOutcome::SuccessRestartNeeded);
  EXPECT_EQ(OutcomeOfExitCode(1641), ActionOutcome::SuccessRestartNeeded);
  for (const unsigned long failed : {1603ul, 1602ul, 1618ul, 87ul, 0xFFFFFFFFul, 1ul})
    EXPECT_EQ(OutcomeOfExitCode(failed), ActionOutcome::Failure) << failed;
}

}  // namespace
}  // namespace vkp
