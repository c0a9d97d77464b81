// The port dialog of the real installer, driven through the robot: presets
// from the configuration file, the network fields, validation on Next, and
// Close or Escape cancelling the installation.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "tests/e2e/ProgramIds.h"
#include "tests/e2e/Robot.h"

namespace {
using namespace vkp::e2e;

constexpr const char* kConfigWin = "C:\\VKPM200\\VKPM200_Config.ZEM";
constexpr unsigned kIdNext = 1;

class PortDialogRun {
 public:
  explicit PortDialogRun(const std::string& config = {}, const std::string& arch = "win64") {
    prefix = std::make_unique<WinePrefix>(PrefixOptions{arch, "win10", {}});
    if (!prefix->Ok()) {
      ADD_FAILURE() << prefix->Error();
      return;
    }
    robot = std::make_unique<Robot>(*prefix);
    EXPECT_TRUE(StageInstallerFolder(*prefix));  // the package too: the installation checks it first
    if (!config.empty()) std::ofstream(prefix->Path(kConfigWin), std::ios::binary) << config;
    run = std::make_unique<InstallerRun>(*prefix, "port");
    EXPECT_TRUE(run->Start());
  }
  bool WaitDialog() const { return robot && robot->WaitWindow(kPortTitle, 30000, true); }
  Control Get(unsigned id) const {
    const auto control = robot->FindControl(kPortTitle, id);
    EXPECT_TRUE(control.has_value()) << id;
    return control.value_or(Control{});
  }
  bool Checked(unsigned id) const { return Get(id).checked == 1; }
  bool NetworkEnabled() const {
    const bool ip = Get(kIpControl).enabled;
    EXPECT_EQ(ip, Get(kPortEdit).enabled) << "the two network fields change together";
    return ip;
  }
  std::string Trace() const { return prefix->ReadFile(kInstallerTraceWin).value_or(""); }

  // After the port choice the installation starts printui with the port; in
  // these prefixes Wine's own printui installs nothing, so the run ends with
  // the failure box and 1603.
  void ExpectInstallationWithPort(const std::string& portArgument) const {
    EXPECT_EQ(robot->Answer(kInstallerCaption, kIdOk, 30000),
              std::optional<std::string>("The printer driver could not be installed."));
    EXPECT_EQ(run->WaitExit(15000), std::optional<unsigned long>(1603));
    const std::string trace = Trace();
    EXPECT_NE(trace.find("COMMAND LINE : RUNDLL32 printui.dll,PrintUIEntry "), std::string::npos) << trace;
    EXPECT_NE(trace.find("/r \"" + portArgument + "\""), std::string::npos) << trace;
    EXPECT_NE(trace.find(": PRINTUI FAILED\r\n"), std::string::npos) << trace;
  }

  std::unique_ptr<WinePrefix> prefix;
  std::unique_ptr<Robot> robot;
  std::unique_ptr<InstallerRun> run;
};

TEST(PortDialog, WithoutConfigurationComOneIsPreselected) {
  PortDialogRun r;
  ASSERT_TRUE(r.WaitDialog());
  EXPECT_TRUE(r.Checked(kRadioCom1));
  EXPECT_FALSE(r.NetworkEnabled());
  EXPECT_EQ(r.Get(kPortEdit).text, "9100");
  EXPECT_EQ(r.Get(kIpControl).text, "0.0.0.0");
  EXPECT_TRUE(r.robot->Do({"close", kPortTitle}).ok());
  EXPECT_EQ(r.robot->Answer(kInstallerCaption, kIdOk, 15000),
            std::optional<std::string>("The driver installation canceled."));
  EXPECT_EQ(r.run->WaitExit(15000), std::optional<unsigned long>(1602));
  EXPECT_NE(r.Trace().find(": The driver installation canceled.\r\n"), std::string::npos);
}

TEST(PortDialog, PresetsComeFromTheConfigurationInTheInstallersFolder) {
  {
    PortDialogRun r("[VKPM200]\r\nPORT=COM3\r\n");
    ASSERT_TRUE(r.WaitDialog());
    EXPECT_TRUE(r.Checked(kRadioCom3));
    EXPECT_FALSE(r.Checked(kRadioCom1));
    EXPECT_FALSE(r.NetworkEnabled());
  }
  {
    PortDialogRun r("[VKPM200]\r\nPORTDLG=TRUE\r\nPORT=USB\r\n");
    ASSERT_TRUE(r.WaitDialog());
    EXPECT_TRUE(r.Checked(kRadioUsb));
  }
  {
    PortDialogRun r("[VKPM200]\r\nPORT=WLAN\r\nWLAN_PORT=9101\r\nWLAN_IP_1=192\r\nWLAN_IP_2=168\r\n"
                    "WLAN_IP_3=0\r\nWLAN_IP_4=20\r\n");
    ASSERT_TRUE(r.WaitDialog());
    EXPECT_TRUE(r.Checked(kRadioWlan));
    EXPECT_TRUE(r.NetworkEnabled());
    EXPECT_EQ(r.Get(kPortEdit).text, "9101");
    EXPECT_EQ(r.Get(kIpControl).text, "192.168.0.20");
    EXPECT_TRUE(r.robot->Click(kPortTitle, kIdNext));
    r.ExpectInstallationWithPort("IP_192.168.0.20");
    EXPECT_NE(r.Trace().find(": PORT NUMBER : 9101\r\n"), std::string::npos);
  }
}

TEST(PortDialog, OnlyWirelessLanEnablesTheNetworkFields) {
  PortDialogRun r;
  ASSERT_TRUE(r.WaitDialog());
  for (unsigned id : {kRadioWlan, kRadioCom2, kRadioWlan, kRadioCom4, kRadioWlan, kRadioUsb, kRadioWlan, kRadioCom3}) {
    ASSERT_TRUE(r.robot->Do({"radio", kPortTitle, std::to_string(id)}).ok()) << id;
    EXPECT_EQ(r.NetworkEnabled(), id == kRadioWlan) << id;
  }
  EXPECT_FALSE(r.robot->Do({"type", kPortTitle, std::to_string(kPortEdit), "515"}).ok())
      << "a disabled field cannot be typed into";
  EXPECT_TRUE(r.robot->Do({"key", kPortTitle, "27"}).ok());  // Escape
  EXPECT_EQ(r.robot->Answer(kInstallerCaption, kIdOk, 15000),
            std::optional<std::string>("The driver installation canceled."));
  EXPECT_EQ(r.run->WaitExit(15000), std::optional<unsigned long>(1602));
}

TEST(PortDialog, NextRefusesBadPortNumbersAndKeepsTheDialog) {
  PortDialogRun r;
  ASSERT_TRUE(r.WaitDialog());
  ASSERT_TRUE(r.robot->Do({"radio", kPortTitle, std::to_string(kRadioWlan)}).ok());
  ASSERT_TRUE(r.robot->Do({"ip", kPortTitle, std::to_string(kIpControl), "192.168.0.20"}).ok());
  const std::pair<const char*, const char*> bad[] = {
      {"0", "Please enter an integer between 1 and 10000."},
      {"10001", "Please enter an integer between 1 and 10000."},
      {"abc", "Please enter an integer."}};
  for (const auto& [text, message] : bad) {
    ASSERT_TRUE(r.robot->Do({"type", kPortTitle, std::to_string(kPortEdit), text}).ok());
    ASSERT_TRUE(r.robot->Click(kPortTitle, kIdNext));
    EXPECT_EQ(r.robot->Answer(kInstallerCaption, kIdOk, 15000), std::optional<std::string>(message)) << text;
    EXPECT_TRUE(r.robot->WaitWindow(kPortTitle, 2000, true)) << "the dialog stays after " << text;
    EXPECT_FALSE(r.run->ExitCode().has_value());
  }
  ASSERT_TRUE(r.robot->Do({"type", kPortTitle, std::to_string(kPortEdit), "9100"}).ok());
  ASSERT_TRUE(r.robot->Click(kPortTitle, kIdNext));
  r.ExpectInstallationWithPort("IP_192.168.0.20");
  EXPECT_NE(r.Trace().find(": PORT NUMBER : 9100\r\n"), std::string::npos);
}

TEST(PortDialog, SilentModeNeedsNoDialog) {
  PortDialogRun r("[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM2\r\n", "win32");
  ASSERT_TRUE(r.run);
  r.ExpectInstallationWithPort("COM2:");
  EXPECT_FALSE(r.robot->WaitWindow(kPortTitle, 100, false));
}

}  // namespace
