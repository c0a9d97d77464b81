// Installations end to end: the real installer in fresh prefixes with the
// stand-ins, driven through the robot; afterwards the spooler, the registry,
// the files and the INF store are checked.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/InstallerSession.h"
#include "tests/e2e/Matrix.h"
#include "tests/e2e/Residue.h"

namespace {
using namespace vkp::e2e;

bool Contains(const std::vector<std::string>& texts, const std::string& start) {
  for (const auto& text : texts)
    if (text.rfind(start, 0) == 0) return true;
  return false;
}

// What every new installation leaves: driver, uninstall entry, uninstaller
// copy, the model's INF in the store, and a trace that ends with "Completed.".
// printui puts the INF into the store itself: the entry then names the INF by
// its own name; the direct path copies it and names the store's copy.
void ExpectInstalled(InstallerSession& s, bool is64, bool byPrintUi) {
  EXPECT_TRUE(s.RegKeyExists(is64 ? kDriverKey64 : kDriverKey32)) << "driver registered";
  EXPECT_EQ(s.RegValue(kUninstallKey, "DisplayName"), "NORVEKA VKP-M200 Windows Driver V2.0.2");
  EXPECT_EQ(s.RegValue(kUninstallKey, "UninstallString"), "C:\\windows\\VKP-M200\\VKPM200_Uninstaller.exe");
  if (is64) {
    EXPECT_FALSE(s.RegKeyExists(kUninstallKey, 32)) << "written in the 64-bit view only";
  }
  EXPECT_TRUE(s.FileExists("C:\\windows\\VKP-M200\\VKPM200_Uninstaller.exe"));
  const std::vector<std::string> infs = s.OemInfsOfTheModel();
  EXPECT_EQ(infs.size(), 1u) << "one copy of the INF in the store";
  if (!infs.empty()) {
    EXPECT_EQ(s.RegValue(kUninstallKey, "InfFile"), byPrintUi ? "VKPM200.inf" : "C:\\windows\\inf\\" + infs[0]);
  }
  const std::string trace = s.Trace();
  EXPECT_NE(trace.find("RegisterUninstallInfo END"), std::string::npos) << trace;
}

std::string PrinterPort(InstallerSession& s, const std::string& printer) {
  return s.RegValue(std::string(kPrintersKey) + "\\" + printer, "Port");
}

// What the printui path leaves (Vista and later).
void ExpectByPrintUi(InstallerSession& s, const TestPort& port, const std::vector<std::string>& boxes,
                     const std::string& trace) {
  EXPECT_NE(trace.find("COMMAND LINE : RUNDLL32 printui.dll,PrintUIEntry"), std::string::npos) << trace;
  if (port.printerPort) {
    EXPECT_EQ(PrinterPort(s, kModel), port.printerPort);
    EXPECT_TRUE(Contains(boxes, "Restarting your computer can take effect.")) << "restart offered";
  } else {
    EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel)) << "USB: no printer object";
    EXPECT_TRUE(Contains(boxes, "Please turn-off the printer and then turn-on again."));
  }
  if (port.ip) {
    EXPECT_EQ(s.RegValue("HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_" +
                             std::string(port.ip),
                         "IPAddress"),
              port.ip)
        << "the port was created through the TCP/IP monitor";
  }
}

// What the direct path leaves (before Vista).
void ExpectDirect(InstallerSession& s, const TestPort& port, const std::vector<std::string>& boxes,
                  const std::string& trace, bool is64) {
  EXPECT_NE(trace.find("AddToWin2K BEGIN"), std::string::npos);
  EXPECT_EQ(trace.find("COMMAND LINE"), std::string::npos) << "no printui on this release";
  EXPECT_NE(trace.find("DeleteFilesUsed END"), std::string::npos);
  if (is64) {
    // Under WOW64 in Wine this 32-bit process cannot load the 64-bit monitor
    // (Windows' 64-bit spooler does): the error box, and the sequence goes on.
    EXPECT_TRUE(Contains(boxes, "AddMonitor, ERR CODE: 126")) << ::testing::PrintToString(boxes);
  } else {
    EXPECT_FALSE(Contains(boxes, "AddMonitor")) << ::testing::PrintToString(boxes);
    EXPECT_TRUE(s.RegKeyExists("HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\ZEM Language Monitor VKP-M200"));
  }
  if (port.printerPort) {
    EXPECT_EQ(PrinterPort(s, kModel), port.printerPort);
    EXPECT_EQ(s.RegValue(std::string(kPrintersKey) + "\\" + kModel, "Print Processor"),
              "ZEM PRINT PROCESSOR VKP-M200");
  } else {
    EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel));
  }
}

// An installation through the port dialog: what every new installation
// leaves, then what its path leaves.
void RunInstallCase(const TestSystem& os, const TestPort& port, bool byPrintUi) {
  InstallerSession s(os.arch, os.winver);
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(port.radio, port.ip ? port.ip : "", port.ip ? "9100" : ""));
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(port.printerPort ? 3010 : 0)) << s.Trace();
  const bool is64 = std::string(os.arch) == "win64";
  ExpectInstalled(s, is64, byPrintUi);
  const std::string trace = s.Trace();
  if (byPrintUi) {
    ExpectByPrintUi(s, port, boxes, trace);
  } else {
    ExpectDirect(s, port, boxes, trace, is64);
  }
}

[[maybe_unused]] const bool kPrintUiRegistered = RegisterEach(
    "InstallPrintUi", {{kWin10x64, {kUsb, kCom2, kLan}}, {kWin7x64, {kUsb, kCom2, kLan}}, {kVista32, {kCom1}}},
    [](const TestSystem& os, const TestPort& port) { RunInstallCase(os, port, true); }, __FILE__, __LINE__);
[[maybe_unused]] const bool kDirectRegistered = RegisterEach(
    "InstallDirect", {{kXp32, {kCom1, kUsb, kLan}}, {kWin2000, {kCom1, kUsb, kLan}}},
    [](const TestSystem& os, const TestPort& port) { RunInstallCase(os, port, false); }, __FILE__, __LINE__);

// Under WOW64 in Wine the 32-bit installer's own spooler calls work in the
// x86 environment: the 64-bit monitor cannot be loaded (126) and AddPrinter
// looks the x64 driver up among the x86 ones (Wine's AddPrinterA reports
// 87 for every failure). Windows' 64-bit spooler
// does both. The sequence goes on past the monitor, and the printer failure
// ends the run as a failed installation.
void RunServer2003x64(const TestSystem& os, const TestPort& port) {
  InstallerSession s(os.arch, os.winver);
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(port.radio));
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(1603));
  ASSERT_EQ(boxes.size(), 2u) << ::testing::PrintToString(boxes);
  EXPECT_EQ(boxes[0].rfind("AddMonitor, ERR CODE: 126", 0), 0u) << boxes[0];
  EXPECT_EQ(boxes[1].rfind("AddPrinter, Error Code: 87", 0), 0u) << boxes[1];
  EXPECT_TRUE(s.RegKeyExists(kDriverKey64)) << "the driver was registered for x64 after the monitor failed";
  EXPECT_TRUE(s.FileExists("C:\\windows\\system32\\spool\\drivers\\x64\\3\\VKP200.GPD"))
      << "files staged from Driver64 into the x64 driver directory";
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey)) << "nothing after the printer step";
}
[[maybe_unused]] const bool kServer2003Registered =
    RegisterEach("InstallDirect", {{kServer2003x64, {kCom3}}}, RunServer2003x64, __FILE__, __LINE__);

TEST(InstallAgain, ASecondPrinterOnTheInstalledDriverGetsANewName) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start("first"));
  ASSERT_TRUE(s.ChoosePort(kRadioCom1));
  s.AnswerUntilExit();
  ASSERT_EQ(s.ExitCode(), std::optional<unsigned long>(3010));
  // The printer carries this installer's version, as the driver package writes it.
  ASSERT_TRUE(s.SetPrinterVersion(kModel, kThisVersion));
  ASSERT_TRUE(s.Start("second"));
  ASSERT_TRUE(s.ChoosePort(kRadioCom2));
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(0)) << "no restart needed for a second printer";
  EXPECT_TRUE(boxes.empty()) << "no restart question for another printer: " << ::testing::PrintToString(boxes);
  EXPECT_EQ(PrinterPort(s, "NORVEKA VKP-M200(#1)"), "COM2:");
  EXPECT_EQ(PrinterPort(s, kModel), "COM1:");
  EXPECT_NE(s.Trace().find("PRINTER-DRIVER NAME TO ADD : NORVEKA VKP-M200(#1) "), std::string::npos);
}

TEST(InstallAgain, SilentModeFromTheConfigurationInTheInstallersFolder) {
  InstallerSession s("win64", "win10", "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM4\r\n");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(3010));
  EXPECT_EQ(PrinterPort(s, kModel), "COM4:");
  EXPECT_TRUE(s.FileExists("C:\\windows\\VKP-M200\\VKPM200_Config.ZEM")) << "the configuration travels along";
}

// As a deployment tool runs it with /passive: the progress window shows, no
// box ever does, and the restart question is answered No in the trace.
TEST(InstallUnattended, PassiveXp32Com1) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start("passive", kInstallerDirWin, {"/passive", "/port=COM1"}));
  EXPECT_TRUE(s.Ui().WaitWindow(kProgressTitle, 60000, true));
  bool boxSeen = false;
  for (const long long end = DeadlineAfter(180000); !s.ExitCode() && NowMs() < end;)
    boxSeen = boxSeen || s.Ui().WaitWindow(kInstallerCaption, 500, true);
  EXPECT_FALSE(boxSeen);
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(3010)) << s.Trace();
  EXPECT_EQ(PrinterPort(s, kModel), "COM1:");
  EXPECT_NE(s.Trace().find("RESTART QUESTION ANSWERED : No"), std::string::npos) << s.Trace();
}

// One byte of one of the package's DLLs changed in the installer's folder
// (anyone could have written there): a quiet installation installs nothing,
// ends with 1603 and says which file; the prefix is as it was before.
void RunDamagedPackage(const std::string& arch, const std::string& winver, const std::string& damaged) {
  InstallerSession s(arch, winver);
  ASSERT_TRUE(s.Ok());
  {
    std::fstream dll(s.Prefix().Path(std::string(kInstallerDirWin) + "\\" + damaged),
                     std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(dll.is_open()) << damaged;
    dll.seekg(300);
    const char byte = static_cast<char>(dll.get() ^ 0x01);
    dll.seekp(300);
    dll.put(byte);
    ASSERT_TRUE(dll.good());
  }
  const Snapshot before = TakeSnapshot(s);
  ASSERT_TRUE(s.Start("damaged", kInstallerDirWin, {"/quiet", "/port=COM1"}));
  for (const long long end = DeadlineAfter(120000); !s.ExitCode() && NowMs() < end;)
    std::this_thread::sleep_for(std::chrono::seconds(1));
  const std::string trace = s.Trace();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(1603)) << trace;
  EXPECT_NE(trace.find("PACKAGE FILE MISMATCH : " + damaged + "\r\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("MESSAGE BOX : The printer driver package is damaged: " + damaged), std::string::npos) << trace;
  EXPECT_EQ(trace.find("AddToWin2K"), std::string::npos) << "no installation step ran";
  const bool is64 = arch == "win64";
  EXPECT_FALSE(s.RegKeyExists(is64 ? kDriverKey64 : kDriverKey32));
  EXPECT_FALSE(s.RegKeyExists("HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\ZEM Language Monitor VKP-M200"));
  EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel));
  EXPECT_FALSE(s.RegKeyExists(kUninstallKey));
  EXPECT_FALSE(s.FileExists("C:\\windows\\VKP-M200_Package")) << "the checked copy is removed";
  const std::vector<std::string> unexplained = Unexplained(before, TakeSnapshot(s));
  EXPECT_TRUE(unexplained.empty()) << ::testing::PrintToString(unexplained);
}

TEST(InstallUnattended, ADamagedDriverDllInstallsNothingWin10x64) {
  RunDamagedPackage("win64", "win10", "Driver64\\VKMON200.dll");
}

TEST(InstallUnattended, ADamagedDriverDllInstallsNothingXp32) {
  RunDamagedPackage("win32", "winxp", "Driver32\\VKPRO200.dll");
}

}  // namespace
