// Installations end to end: the real installer in fresh prefixes with the
// stand-ins, driven through the robot; afterwards the spooler, the registry,
// the files and the INF store are checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace {
using namespace vkp::e2e;

const std::string kDriverKey64 =
    "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\NORVEKA VKP-M200";
const std::string kDriverKey32 =
    "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\NORVEKA VKP-M200";

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

struct PrintUiCase {
  const char* arch;
  const char* winver;
  unsigned radio;
  const char* ip;
  const char* expectedPort;  // nullptr: no printer object (USB)
};

void RunPrintUiCase(const PrintUiCase& c) {
  InstallerSession s(c.arch, c.winver);
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(c.radio, c.ip ? c.ip : "", c.ip ? "9100" : ""));
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(c.expectedPort ? 3010 : 0)) << s.Trace();
  const bool is64 = std::string(c.arch) == "win64";
  ExpectInstalled(s, is64, true);
  const std::string trace = s.Trace();
  EXPECT_NE(trace.find("COMMAND LINE : cmd /c RUNDLL32 printui.dll,PrintUIEntry"), std::string::npos) << trace;
  if (c.expectedPort) {
    EXPECT_EQ(PrinterPort(s, kModel), c.expectedPort);
    EXPECT_TRUE(Contains(boxes, "Restarting your computer can take effect.")) << "restart offered";
  } else {
    EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel)) << "USB: no printer object";
    EXPECT_TRUE(Contains(boxes, "Please turn-off the printer and then turn-on again."));
  }
  if (c.ip) {
    EXPECT_EQ(s.RegValue("HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_" +
                             std::string(c.ip),
                         "IPAddress"),
              c.ip)
        << "the port was created through the TCP/IP monitor";
  }
}

TEST(InstallPrintUi, Win10x64Usb) { RunPrintUiCase({"win64", "win10", kRadioUsb, nullptr, nullptr}); }
TEST(InstallPrintUi, Win10x64Com2) { RunPrintUiCase({"win64", "win10", kRadioCom2, nullptr, "COM2:"}); }
TEST(InstallPrintUi, Win10x64Lan) {
  RunPrintUiCase({"win64", "win10", kRadioWlan, "192.168.0.20", "IP_192.168.0.20"});
}
// Wine 8 swaps the names: "win2008r2" reports Windows 7 (workstation).
TEST(InstallPrintUi, Win7x64Usb) { RunPrintUiCase({"win64", "win2008r2", kRadioUsb, nullptr, nullptr}); }
TEST(InstallPrintUi, Win7x64Com2) { RunPrintUiCase({"win64", "win2008r2", kRadioCom2, nullptr, "COM2:"}); }
TEST(InstallPrintUi, Win7x64Lan) {
  RunPrintUiCase({"win64", "win2008r2", kRadioWlan, "192.168.0.20", "IP_192.168.0.20"});
}
TEST(InstallPrintUi, Vista32Com1) { RunPrintUiCase({"win32", "vista", kRadioCom1, nullptr, "COM1:"}); }

struct DirectCase {
  const char* arch;
  const char* winver;
  unsigned radio;
  const char* ip;
  const char* expectedPort;
};

void RunDirectCase(const DirectCase& c) {
  InstallerSession s(c.arch, c.winver);
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(c.radio, c.ip ? c.ip : "", c.ip ? "9100" : ""));
  const std::vector<std::string> boxes = s.AnswerUntilExit();
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(c.expectedPort ? 3010 : 0)) << s.Trace();
  const bool is64 = std::string(c.arch) == "win64";
  ExpectInstalled(s, is64, false);
  const std::string trace = s.Trace();
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
  if (c.expectedPort) {
    EXPECT_EQ(PrinterPort(s, kModel), c.expectedPort);
    EXPECT_EQ(s.RegValue(std::string(kPrintersKey) + "\\" + kModel, "Print Processor"),
              "ZEM PRINT PROCESSOR VKP-M200");
  } else {
    EXPECT_FALSE(s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel));
  }
}

TEST(InstallDirect, Xp32Com1) { RunDirectCase({"win32", "winxp", kRadioCom1, nullptr, "COM1:"}); }
TEST(InstallDirect, Xp32Usb) { RunDirectCase({"win32", "winxp", kRadioUsb, nullptr, nullptr}); }
TEST(InstallDirect, Xp32Lan) { RunDirectCase({"win32", "winxp", kRadioWlan, "192.168.0.20", "IP_192.168.0.20"}); }
TEST(InstallDirect, Win2000Com1) { RunDirectCase({"win32", "win2k", kRadioCom1, nullptr, "COM1:"}); }
TEST(InstallDirect, Win2000Usb) { RunDirectCase({"win32", "win2k", kRadioUsb, nullptr, nullptr}); }
TEST(InstallDirect, Win2000Lan) {
  RunDirectCase({"win32", "win2k", kRadioWlan, "192.168.0.20", "IP_192.168.0.20"});
}
// Under WOW64 in Wine the 32-bit installer's own spooler calls work in the
// x86 environment: the 64-bit monitor cannot be loaded (126) and AddPrinter
// looks the x64 driver up among the x86 ones (Wine's AddPrinterA reports
// 87 for every failure). Windows' 64-bit spooler
// does both. The sequence goes on past the monitor, and the printer failure
// ends the run as a failed installation.
TEST(InstallDirect, Server2003x64Com3) {
  InstallerSession s("win64", "win2003");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.ChoosePort(kRadioCom3));
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

TEST(InstallAgain, ASecondPrinterOnTheInstalledDriverGetsANewName) {
  InstallerSession s("win32", "winxp");
  ASSERT_TRUE(s.Ok());
  ASSERT_TRUE(s.Start("first"));
  ASSERT_TRUE(s.ChoosePort(kRadioCom1));
  s.AnswerUntilExit();
  ASSERT_EQ(s.ExitCode(), std::optional<unsigned long>(3010));
  // The printer carries this installer's version, as the driver package writes it.
  const std::string data = std::string(kPrintersKey) + "\\" + kModel + "\\PrinterDriverData";
  for (const char* value : {"MajorVersion", "MinorVersion", "BuildVersion", "ExtraVersion"}) {
    const char* number = std::string(value) == "MajorVersion" || std::string(value) == "BuildVersion" ? "2" : "0";
    ASSERT_TRUE(s.Prefix().Wine({"reg", "add", data, "/v", value, "/t", "REG_DWORD", "/d", number, "/f"}).ok());
  }
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
  for (const long long end = NowMs() + 180000; !s.ExitCode() && NowMs() < end;)
    boxSeen = boxSeen || s.Ui().WaitWindow(kInstallerCaption, 500, true);
  EXPECT_FALSE(boxSeen);
  EXPECT_EQ(s.ExitCode(), std::optional<unsigned long>(3010)) << s.Trace();
  EXPECT_EQ(PrinterPort(s, kModel), "COM1:");
  EXPECT_NE(s.Trace().find("RESTART QUESTION ANSWERED : No"), std::string::npos) << s.Trace();
}

}  // namespace
