// The residue check: a snapshot of the prefix before installing; install;
// uninstall everything; snapshot again and compare (tests/e2e/Residue.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "tests/e2e/Matrix.h"
#include "tests/e2e/Residue.h"

namespace {
using namespace vkp::e2e;

struct ResidueCase {
  std::string arch, winver;
  unsigned port = 0;   // chosen in the port dialog; 0: silent, from `config`
  std::string config;  // configuration file in the installer's folder
  std::string startDir = kInstallerDirWin;  // the installer's current directory at start
  // Programs named like the system's own (net, cmd, RUNDLL32) planted in the
  // installer's folder; none of them may run.
  std::vector<std::string> planted;
  // Switches: the installer runs unattended with them, watched for any window
  // of its own, and the uninstall entry's "QuietUninstallString" removes it.
  std::vector<std::string> switches;
  std::function<void(InstallerSession&)> checkInstalled;
};

void CheckResidue(const ResidueCase& c) {
  InstallerSession s(c.arch, c.winver, c.config);
  ASSERT_TRUE(s.Ok());
  for (const std::string& name : c.planted)
    ASSERT_TRUE(s.Prefix().CopyIn(Config::Get().RobotExe(), std::string(kInstallerDirWin) + "\\" + name));
  const Snapshot before = TakeSnapshot(s);
  const long long installStart = NowMs();
  if (!c.switches.empty()) {
    // A bad switch first: refused with 87, traced (quiet), nothing changed (the residue check).
    ASSERT_TRUE(s.Start("refused", c.startDir, {"/quiet", "/port=COM9"}));
    for (const long long end = DeadlineAfter(60000); !s.ExitCode() && NowMs() < end;)
      std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(87));
    EXPECT_NE(s.Trace().find("BAD COMMAND LINE : "), std::string::npos) << s.Trace();
    ASSERT_TRUE(s.Start("install", c.startDir, c.switches));
    const long long deadline = DeadlineAfter(180000);
    while (!s.ExitCode() && NowMs() < deadline) {
      for (const char* title : {kProgressTitle, kPortTitle, kInstallerCaption})
        EXPECT_FALSE(s.Ui().WaitWindow(title, 0, true)) << title << " shown by a quiet installer";
      std::this_thread::sleep_for(std::chrono::seconds(3));  // the robot's starts must not slow the installer
    }
    // Unattended: the restart it needs is left to the deployment tool.
    ASSERT_EQ(s.ExitCode(), std::optional<unsigned long>(3010)) << s.Trace();
  } else if (c.port != 0) {
    ASSERT_TRUE(s.Install(c.port, c.port == kRadioWlan ? "192.168.0.20" : "")) << s.Trace();
  } else {
    ASSERT_TRUE(s.Start("install", c.startDir));
    s.AnswerUntilExit({}, 180000);
    ASSERT_EQ(s.ExitCode(), std::optional<unsigned long>(3010)) << s.Trace();
  }
  const long long installMs = NowMs() - installStart;
  for (const std::string& name : c.planted)
    EXPECT_FALSE(s.Prefix().ReadFile("C:\\vkp-e2e\\ran-" + name + ".txt").has_value()) << name << " ran";
  if (c.checkInstalled) c.checkInstalled(s);
  const long long uninstallStart = NowMs();
  ProgramRun& run = s.StartUninstaller("uninstall", !c.switches.empty());
  if (!c.switches.empty()) {
    ASSERT_EQ(run.WaitExit(180000), std::optional<unsigned long>(3010)) << "quiet uninstallation, no restart";
  } else {
  ASSERT_TRUE(s.Ui().WaitWindow(kUninstallerTitle, 30000, true));
  for (int i = 0; i < 50; ++i) {  // a printer object is listed: start; none: it starts by itself
    const auto uninstall = s.Ui().FindControl(kUninstallerTitle, kUninstallButton);
    if (uninstall && uninstall->enabled) {
      s.Ui().Click(kUninstallerTitle, kUninstallButton);
      break;
    }
    if (s.Ui().FindControl(kUninstallerTitle, kUninstallerProgressText).value_or(Control{}).text.size() > 0) break;
  }
  s.AnswerUninstallerUntilExit(false, 120000);
  ASSERT_EQ(run.WaitExit(30000), std::optional<unsigned long>(3010)) << "removed; the restart declined";
  }
  // Environments the model was never registered in are not failures.
  const std::string trace = s.Prefix().ReadFile("C:\\Temp\\VKP-M200_UnInstaller.txt").value_or("");
  EXPECT_EQ(trace.find("STILL INSTALLED"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("DeleteMonitor Error"), std::string::npos) << trace;
  if (c.arch == "win64") {
    // Wine refuses the unused-files flag where the driver is: one refusal, for "Windows x64".
    const auto refused = trace.find("DeletePrinterDriverEx returned FALSE.");
    EXPECT_NE(refused, std::string::npos);
    EXPECT_EQ(trace.find("DeletePrinterDriverEx returned FALSE.", refused + 1), std::string::npos) << trace;
  }
  std::printf("wall time: installation %lld ms, uninstallation %lld ms\n", installMs, NowMs() - uninstallStart);
  const Snapshot after = TakeSnapshot(s);

  const std::vector<std::string> unexplained = Unexplained(before, after);
  EXPECT_TRUE(unexplained.empty()) << ::testing::PrintToString(unexplained);
}

[[maybe_unused]] const bool kResidueRegistered = RegisterEach(
    "Residue",
    {{kWin10x64, {kUsb, kCom2, kLan}}, {kWin7x64, {kCom2, kUsb, kLan}}, {kVista32, {kCom1}},
     {kXp32, {kCom1, kUsb, kLan}}, {kWin2000, {kCom1, kUsb, kLan}}},
    [](const TestSystem& os, const TestPort& port) {
      ResidueCase c;
      c.arch = os.arch;
      c.winver = os.winver;
      c.port = port.radio;
      CheckResidue(c);
    },
    __FILE__, __LINE__);
// The direct path on 64-bit (Server 2003 x64) cannot complete under Wine
// (see InstallDirect.Server2003x64Com3), so it has no residue check here.

// The programs as a deployment tool runs them: a quiet installation by
// switches, started from another folder with look-alikes of net, cmd and
// RUNDLL32 planted next to the installer, watched by the robot for any
// window, every object and uninstall value checked, then the entry's quiet
// uninstall.
TEST(Smoke, QuietWin10x64LanFromAnotherFolderThenTheQuietUninstallString) {
  const std::string print = "HKLM\\System\\CurrentControlSet\\Control\\Print\\";
  ResidueCase c;
  c.arch = "win64";
  c.winver = "win10";
  c.startDir = "C:\\windows";  // as a deployment tool may start it
  c.planted = {"net.exe", "cmd.exe", "RUNDLL32.exe"};
  c.switches = {"/quiet", "/port=WLAN", "/ip=192.168.0.20", "/tcpport=9100", "/log=C:\\vkp-e2e\\install.log"};
  c.checkInstalled = [&](InstallerSession& s) {
    EXPECT_EQ(s.RegValue(std::string(kPrintersKey) + "\\" + kModel, "Port"), "IP_192.168.0.20");
    EXPECT_TRUE(s.RegKeyExists(print + "Environments\\Windows x64\\Drivers\\Version-3\\" + kModel));
    EXPECT_TRUE(s.RegKeyExists(print + "Monitors\\ZEM Language Monitor VKP-M200"));
    EXPECT_TRUE(s.RegKeyExists(print + "Environments\\Windows x64\\Print Processors\\ZEM PRINT PROCESSOR VKP-M200"));
    EXPECT_TRUE(s.RegKeyExists(print + "Monitors\\Standard TCP/IP Port\\Ports\\IP_192.168.0.20"));
    const std::string quoted = std::string("\"") + kUninstallerWin + "\"";
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", "NORVEKA VKP-M200 Windows Driver V2.0.2"}, {"DisplayVersion", "2.0.2"},
        {"Publisher", "NORVEKA"}, {"UninstallString", kUninstallerWin}, {"DisplayIcon", kUninstallerWin},
        {"InstallLocation", "C:\\windows\\VKP-M200"}, {"QuietUninstallString", quoted + " /quiet"},
        {"NoModify", "0x1"}, {"NoRepair", "0x1"}};
    for (const auto& [name, value] : values) EXPECT_EQ(s.RegValue(kUninstallKey, name), value) << name;
    EXPECT_NE(s.RegValue(kUninstallKey, "EstimatedSize"), "0x0");
    EXPECT_EQ(s.Prefix().ReadFile("C:\\vkp-e2e\\install.log"), std::optional<std::string>(s.Trace()))
        << "/log holds the same entries";
  };
  CheckResidue(c);
}

}  // namespace
