// The two installation sequences and the spooler registrations, through the
// seam: order of platform calls, progress texts, bar steps, pauses, message
// boxes and the records handed to the spooler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/PortData1.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/seam/HandleBalance.h"
#include "tests/wine/EngineHarness.h"
#include "tests/wine/FakeSpooler.h"
#include "tests/wine/TestProgram.h"
#include "ui/SystemText.h"

namespace vkp {
namespace {

using test::EngineHarness;
using test::FakeOs;
using test::FakeSpooler;
using test::ProcessExit;

constexpr char kModel[] = "NORVEKA VKP-M200";
constexpr int kCom1 = 1000, kCom2 = 1001, kCom3 = 1002, kUsb = 1004, kLan = 1005;

// Index of the first call of `name` at or after `from`; -1 when none.
int IndexOf(const std::vector<std::string>& calls, const std::string& name, int from = 0) {
  for (int i = from; i < static_cast<int>(calls.size()); ++i)
    if (calls[static_cast<std::size_t>(i)] == name) return i;
  return -1;
}

class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetTraceLogFileName("VKP-M200_Installer.txt");
    InitTraceLog();
  }
  // Whatever path a test took, every handle went back.
  void TearDown() override { EXPECT_EQ(test::UnreleasedHandles(os), ""); }

  // Runs a sequence: the exit code it returned, or the one it ended the process with.
  template <typename F>
  std::optional<UINT> Run(F&& sequence) {
    try {
      return sequence();
    } catch (const ProcessExit& exit) {
      return exit.code;
    }
  }

  test::TestApp app{"VKPM200_Installer"};
  FakeOs os;
  FakeSpooler spooler{os};
};

TEST_F(InstallationTest, DirectNewInstallationOnXpOverCom1) {
  EngineHarness h(0, 2005);
  os.QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kCom1); }), std::optional<UINT>(3010)) << "No: the restart is still needed";

  const std::vector<std::string> texts = {"Checking existing drivers...\r\n",
                                          "Preparing for installation...\r\n",
                                          "Copying files...\r\n",
                                          "Installing L/M...\r\n",
                                          "Installing printer processor...\r\n",
                                          "Installing printer driver...\r\n",
                                          "Adding printer...\r\n",
                                          "Please wait for adding printer.\r\nIt takes a couple of minutes.",
                                          "Deleting files used to install...\r\n",
                                          "The driver has been successfully installed.",
                                          "Completed."};
  EXPECT_EQ(h.Texts(), texts);
  EXPECT_EQ(h.BarPosition(), 100) << "ends at the bar's end";
  // Nine 500 ms steps ("Please wait..." has no pause), then the closing 2000 ms.
  std::vector<DWORD> sleeps(8, 500);
  sleeps.push_back(2000);
  EXPECT_EQ(os.Sleeps(), sleeps);

  const std::vector<std::string> calls = os.CallNames();
  const int monitor = IndexOf(calls, "AddMonitorA");
  const int processor = IndexOf(calls, "AddPrintProcessorA");
  const int driver = IndexOf(calls, "AddPrinterDriverA");
  const int printer = IndexOf(calls, "AddPrinterA");
  const int inf = IndexOf(calls, "SetupCopyOEMInfA");
  ASSERT_TRUE(monitor >= 0 && processor > monitor && driver > processor && printer > driver && inf > printer)
      << monitor << " " << processor << " " << driver << " " << printer << " " << inf;
  EXPECT_EQ(IndexOf(calls, "CreateProcessA"), -1) << "neither printui nor a spooler start on the direct path";

  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Restarting your computer can take effect.\nPlease restart your computer.\n\n[Yes] I want to restart my "
            "computer now.\n[No] I want to restart my computer later.");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(os.RestartRequests().empty());

  ASSERT_EQ(spooler.addedPrinters.size(), 1u);
  const auto& p = spooler.addedPrinters[0];
  EXPECT_EQ(p.name, kModel);
  EXPECT_EQ(p.port, "COM1:");
  EXPECT_EQ(p.driver, kModel);
  EXPECT_EQ(p.processor, "ZEM PRINT PROCESSOR VKP-M200");
  EXPECT_EQ(p.dataType, "RAW");
  EXPECT_EQ(p.attributes, 0x1800u);
  EXPECT_EQ(p.priority, 1u);
  EXPECT_EQ(p.status, 0x80u);
  EXPECT_EQ(h.engine.strINFName, "C:\\windows\\inf\\oem7.inf") << "CopyINFFile ran";
}

TEST_F(InstallationTest, ARestartYesWritesTheEndLineFirstAndRequestsTheRestart) {
  EngineHarness h(0, 2005);
  os.QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kCom1); }), std::optional<UINT>(1641));
  ASSERT_EQ(os.RestartRequests().size(), 1u);
  const std::string log = test::ReadTraceLog();
  const auto firstEnd = log.find(": AddToWin2K END\r\n");
  ASSERT_NE(firstEnd, std::string::npos);
  EXPECT_NE(log.find(": AddToWin2K END\r\n", firstEnd + 1), std::string::npos) << "written again at the close";
}

TEST_F(InstallationTest, DirectNewInstallationOverUsbAddsNoPrinterAndOffersNoRestart) {
  EngineHarness h(0, 2005);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kUsb); }), std::optional<UINT>(0));
  EXPECT_TRUE(spooler.addedPrinters.empty());
  EXPECT_EQ(spooler.addedDrivers.size(), 1u);
  EXPECT_TRUE(
      test::ShowedOneBox(os, "Please turn-off the printer and then turn-on again.", MB_OK | MB_ICONINFORMATION));
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": AddPrinterToSystem BEGIN\r\n"), std::string::npos);
  const std::vector<std::string> texts = h.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("Adding printer...\r\n")), 0);
}

TEST_F(InstallationTest, DirectWithTheDriverPresentAddsOnePrinterUnderAFreeName) {
  spooler.InstallModel("");
  spooler.printers = {"NORVEKA VKP-M200", "NORVEKA VKP-M200(#1)"};
  EngineHarness h(0, 2005);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kCom2); }), std::optional<UINT>(0));
  ASSERT_EQ(spooler.addedPrinters.size(), 1u);
  EXPECT_EQ(spooler.addedPrinters[0].name, "NORVEKA VKP-M200(#2)");
  EXPECT_TRUE(spooler.addedDrivers.empty());
  EXPECT_TRUE(spooler.monitorNames.empty());
  EXPECT_TRUE(spooler.copies.empty()) << "nothing staged";
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 0) << "no uninstall entry";
  EXPECT_NE(test::ReadTraceLog().find(": PRINTER-DRIVER NAME TO ADD : NORVEKA VKP-M200(#2) \r\n"), std::string::npos);
}

TEST_F(InstallationTest, DirectWithTheDriverPresentOverUsbDoesNothing) {
  spooler.InstallModel("");
  EngineHarness h(0, 2005);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kUsb); }), std::optional<UINT>(0));
  EXPECT_EQ(h.Texts(), (std::vector<std::string>{"Checking existing drivers...\r\n", "Preparing for installation...\r\n",
                                                 "Completed."}));
  EXPECT_TRUE(spooler.addedPrinters.empty());
  EXPECT_TRUE(os.MessageBoxes().empty());
}

// A run that ended after the driver came but before its uninstall entry:
// the next run, finding the driver, makes the entry and copies the
// uninstaller; the direct path also copies the INF to the store and removes
// the staged copies the ended run left in the driver directory.
TEST_F(InstallationTest, WithTheDriverPresentAMissingUninstallEntryIsMadeOnBothPaths) {
  for (const bool printUi : {false, true}) {
    spooler.InstallModel(printUi ? "Windows x64" : "", false);
    os.ClearCalls();
    spooler.copies.clear();
    InitTraceLog();
    EngineHarness h(printUi ? 1 : 0, printUi ? 2010 : 2005);
    EXPECT_EQ(Run([&] { return printUi ? h.engine.AddToWin2KWithWHQL(kUsb) : h.engine.AddToWin2K(kUsb); }),
              std::optional<UINT>(0));
    EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 1) << printUi;
    EXPECT_NE(test::ReadTraceLog().find(": UNINSTALL ENTRY MISSING : registered again\r\n"), std::string::npos);
    EXPECT_TRUE(std::any_of(spooler.copies.begin(), spooler.copies.end(),
                            [](const auto& copy) { return copy.second.find("VKPM200_Uninstaller.exe") != std::string::npos; }))
        << printUi;
    EXPECT_TRUE(os.MessageBoxes().empty());
    if (!printUi) {
      EXPECT_EQ(os.CountOf("SetupCopyOEMInfA"), 1);
      const auto deletes = os.CallsOf("DeleteFileA");
      EXPECT_TRUE(std::any_of(deletes.begin(), deletes.end(),
                              [](const auto& call) { return call.args[0].find("\\VKP200.GPD") != std::string::npos; }));
    }
  }
}

TEST_F(InstallationTest, PrintUiNewInstallationOverCom2) {
  EngineHarness h(1, 2010);
  h.engine.strSourceDir = "C:\\a&b ^c%PATH%\\";  // what cmd would read
  os.QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom2); }), std::optional<UINT>(3010));
  ASSERT_EQ(spooler.commandLines.size(), 1u);
  EXPECT_EQ(spooler.commandLines[0], "RUNDLL32 printui.dll,PrintUIEntry /if /b \"NORVEKA VKP-M200\" /f "
                                     "\"C:\\a&b ^c%PATH%\\VKPM200.inf\" /r \"COM2:\" /m \"NORVEKA VKP-M200\" /h x64 /q");
  EXPECT_EQ(spooler.programs[0], "C:\\windows\\Sysnative\\rundll32.exe") << "64-bit, by full path, no cmd";
  char systemDir[MAX_PATH] = "";
  GetSystemDirectoryA(systemDir, MAX_PATH);
  EXPECT_EQ(spooler.startDirectories[0], systemDir) << "nothing of the installer's folder on rundll32's search path";
  EXPECT_EQ(spooler.startups[0].dwFlags, static_cast<DWORD>(STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK));
  EXPECT_EQ(spooler.startups[0].wShowWindow, SW_HIDE);
  EXPECT_EQ(h.Texts(), (std::vector<std::string>{"Checking existing drivers...\r\n",
                                                 "Preparing for installation...\r\n",
                                                 "Installing printer...\r\n",
                                                 "Creates a new process \r\n",
                                                 "The new process is running...\r\n",
                                                 "Waiting until the process has finished processing ...\r\n",
                                                 "The driver has been successfully installed.",
                                                 "Completed."}));
  EXPECT_EQ(os.Sleeps(), (std::vector<DWORD>{500, 500, 500, 500, 500, 2000}));
  const std::vector<std::string> calls = os.CallNames();
  const int wait = IndexOf(calls, "WaitForSingleObject");
  EXPECT_EQ(os.CallsOf("WaitForSingleObject").at(0).args.at(1), "120000");
  EXPECT_GT(IndexOf(calls, "RegCreateKeyExA", wait), wait) << "the uninstall entry after printui";
  EXPECT_EQ(spooler.spoolerCommands, std::vector<std::string>{"net start spooler"});
  EXPECT_EQ(os.MessageBoxes().size(), 1u) << "the restart question";
  EXPECT_NE(test::ReadTraceLog().find(": \r\nCOMMAND LINE : RUNDLL32 printui.dll,PrintUIEntry /if"), std::string::npos);
}

TEST_F(InstallationTest, PrintUiCommandLinesPerPort) {
  struct Row {
    int port;
    bool present;
    const char* command;
    const char* installedIn = nullptr;
  };
  const Row rows[] = {
      {kUsb, false, "RUNDLL32 printui.dll,PrintUIEntry /ia /m \"NORVEKA VKP-M200\" /f \"INF\" /h x64 /q"},
      {kLan, false,
       "RUNDLL32 printui.dll,PrintUIEntry /if /b \"NORVEKA VKP-M200\" /f \"INF\" /r "
       "\"IP_192.168.0.20\" /m \"NORVEKA VKP-M200\" /h x64 /q"},
      {kCom3, true,
       "RUNDLL32 printui.dll,PrintUIEntry /if /b \"NORVEKA VKP-M200\" /f \"INF\" /r \"COM3:\" /m "
       "\"NORVEKA VKP-M200\" /u /h x64 /q", "Windows x64"},
      {kCom3, false,  // an x86 driver is of no use to a 64-bit installation: no /u
       "RUNDLL32 printui.dll,PrintUIEntry /if /b \"NORVEKA VKP-M200\" /f \"INF\" /r \"COM3:\" /m "
       "\"NORVEKA VKP-M200\" /h x64 /q", "Windows NT x86"},
  };
  for (const Row& row : rows) {
    spooler.commandLines.clear();
    spooler.drivers.clear();
    spooler.processors.clear();
    if (row.installedIn) spooler.InstallModel(row.installedIn);
    os.ClearCalls();
    EngineHarness h(1, 2010);
    h.engine.strIPAddress = "192.168.0.20";
    EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(row.port); }), std::optional<UINT>(row.port == kUsb || row.present ? 0 : 3010));
    ASSERT_EQ(spooler.commandLines.size(), 1u);
    std::string expected = row.command;
    expected.replace(expected.find("/f \"INF") + 4, 3, test::InStartFolder("VKPM200.inf"));
    EXPECT_EQ(spooler.commandLines[0], expected);
    if (row.present) {
      EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 0) << "no uninstall entry when the driver was there";
      EXPECT_TRUE(os.MessageBoxes().empty()) << "no restart question";
    }
  }
}

TEST_F(InstallationTest, PrintUiAddsNoSecondPrinterOnAPortThatHasOne) {
  spooler.InstallModel("Windows x64");
  spooler.listedPrinters.push_back({"Front desk", "COM2:", kModel, "ZEM PRINT PROCESSOR VKP-M200", "RAW", 0, 0, 0});
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom2); }), std::optional<UINT>(0));
  EXPECT_TRUE(spooler.commandLines.empty());
  EXPECT_NE(test::ReadTraceLog().find(": PRINTER ALREADY ON PORT : COM2:\r\n"), std::string::npos);
}

TEST_F(InstallationTest, PrintUiWithTheDriverPresentOverUsbStartsNothing) {
  spooler.InstallModel("Windows x64");
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kUsb); }), std::optional<UINT>(0));
  EXPECT_TRUE(spooler.commandLines.empty());
  EXPECT_TRUE(os.MessageBoxes().empty());
  const std::vector<std::string> texts = h.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts.back(), "Completed.");
  EXPECT_EQ(texts[texts.size() - 2], "Creates a new process \r\n");
  EXPECT_EQ(spooler.spoolerCommands.size(), 1u) << "the spooler is still started";
}

TEST_F(InstallationTest, PrintUiTimeOutEndsWithMinusOne) {
  spooler.waitResult = WAIT_TIMEOUT;
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom1); }), std::optional<UINT>(0xFFFFFFFFu));
  EXPECT_TRUE(test::ShowedOneBox(os, "The process could not finish the installation.", MB_OK | MB_ICONERROR));
  EXPECT_NE(test::ReadTraceLog().find(": WAIT_TIMEOUT\r\n"), std::string::npos);
  EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 0);
}

TEST_F(InstallationTest, AFailedPrintUiStartRegistersNothingAndEndsWith1603) {
  os.Replace<&PlatformApi::CreateProcessA>([](LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                              LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) -> BOOL {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  });
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom1); }), std::optional<UINT>(1603));
  EXPECT_TRUE(test::ShowedOneBox(os, "CreateProcess failed.", MB_OK));
  EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 0);
  EXPECT_EQ(os.CountOf("WaitForSingleObject"), 0);
  EXPECT_EQ(h.Texts().back(), "Completed.");
  EXPECT_NE(test::ReadTraceLog().find(": CreateProcess failed. (2)\r\n"), std::string::npos);
}

TEST_F(InstallationTest, PrintUiLeavingNoDriverIsAFailedInstallation) {
  spooler.printUiInstallsIn = "";
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom2); }), std::optional<UINT>(1603));
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The printer driver could not be installed.");
  EXPECT_NE(test::ReadTraceLog().find(": PRINTUI FAILED\r\n"), std::string::npos);
  EXPECT_EQ(os.CountOf("RegCreateKeyExA"), 0);
  EXPECT_EQ(os.CountOf("SetupCopyOEMInfA"), 0);
  EXPECT_EQ(h.Texts().back(), "Completed.");
  EXPECT_EQ(spooler.spoolerCommands.size(), 1u) << "closing steps ran";
}

TEST_F(InstallationTest, PrintUiLeavingNoPrinterIsAFailedInstallation) {
  spooler.printUiAddsPrinter = false;  // as when the port could not be made
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom2); }), std::optional<UINT>(1603));
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u) << "no success message, no restart question";
  EXPECT_EQ(boxes[0].text, "The printer driver could not be installed.");
  EXPECT_NE(test::ReadTraceLog().find(": NOT INSTALLED : printer on port COM2:\r\n"), std::string::npos);
}

TEST_F(InstallationTest, PrintUiChecksTheDriverInTheInstallationsEnvironment) {
  spooler.printUiInstallsIn = "Windows NT x86";  // not where a 64-bit system needs it
  EngineHarness h(1, 2010);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2KWithWHQL(kCom2); }), std::optional<UINT>(1603));
}

TEST_F(InstallationTest, TheTcpPortRecordFieldByField) {
  EngineHarness h(0, 2010);
  h.engine.SetEthernetPort("192.168.0.20", 9100);
  h.engine.AddEthernetPort();
  ASSERT_EQ(spooler.xcvInputs.size(), 1u);
  ASSERT_EQ(spooler.xcvInputs[0].size(), 964u);
  PortData1 port;
  std::memcpy(&port, spooler.xcvInputs[0].data(), sizeof port);
  EXPECT_EQ(std::wstring(port.sztPortName), L"IP_192.168.0.20");
  EXPECT_EQ(port.dwVersion, 1u);
  EXPECT_EQ(port.dwProtocol, 1u);
  EXPECT_EQ(port.cbSize, 964u);
  EXPECT_EQ(port.dwReserved, 0u);
  EXPECT_EQ(std::wstring(port.sztHostAddress), L"192.168.0.20");
  EXPECT_EQ(std::wstring(port.sztSNMPCommunity), L"yellow");
  EXPECT_EQ(port.dwDoubleSpool, 0u);
  EXPECT_EQ(port.sztQueue[0], L'\0');
  EXPECT_EQ(port.sztIPAddress[0], L'\0');
  EXPECT_EQ(port.dwPortNumber, 9100u);
  EXPECT_EQ(port.dwSNMPEnabled, 0u);
  EXPECT_EQ(port.dwSNMPDevIndex, 1u);
  EXPECT_EQ(std::count(std::begin(port.Reserved), std::end(port.Reserved), 0), 540);
  EXPECT_EQ(spooler.openedNames, (std::vector<std::string>{",XcvMonitor Standard TCP/IP Port"}));
  EXPECT_EQ(os.CountOf("ClosePrinter"), 1);
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_TRUE(h.Texts().empty()) << "no progress step";
}

TEST_F(InstallationTest, TcpPortFailuresAreTraceLinesOnly) {
  EngineHarness h(0, 2010);
  h.engine.SetEthernetPort("10.1.2.3", 515);
  os.FailNth("OpenPrinterA", 1, ERROR_UNKNOWN_PORT);
  h.engine.AddEthernetPort();
  os.FailNth("XcvDataW", 1, ERROR_INVALID_PARAMETER);
  h.engine.AddEthernetPort();
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": OpenPrinter failed. (1796)\r\n"), std::string::npos);
  EXPECT_NE(log.find(": XcvData failed. (87)\r\n"), std::string::npos);
  EXPECT_EQ(os.CountOf("ClosePrinter"), 1) << "closed only when opened";
  EXPECT_TRUE(os.MessageBoxes().empty());
}

TEST_F(InstallationTest, TheDriverRecord) {
  for (int is64 : {0, 1}) {
    spooler.addedDrivers.clear();
    EngineHarness h(is64, 2006);
    EXPECT_EQ(h.engine.AddPrinterDriverToSystem(), 1);
    ASSERT_EQ(spooler.addedDrivers.size(), 1u);
    const auto& d = spooler.addedDrivers[0];
    EXPECT_EQ(d.version, 3u);
    EXPECT_EQ(d.name, kModel);
    EXPECT_EQ(d.environment, is64 ? "Windows x64" : "Windows NT x86");
    EXPECT_EQ(d.driverPath, "UNIDRV.DLL");
    EXPECT_EQ(d.dataFile, "VKP200.GPD");
    EXPECT_EQ(d.configFile, "UNIDRVUI.DLL");
    EXPECT_EQ(d.helpFile, "UNIDRV.HLP");
    EXPECT_EQ(d.monitor, "ZEM Language Monitor VKP-M200");
    EXPECT_EQ(d.dataType, "RAW");
    EXPECT_EQ(d.dependentFiles, (std::vector<std::string>{"UNIRES.DLL", "STDNAMES.GPD", "VKP200.DLL", "VKUI200.DLL",
                                                          "VKUNI200.DLL", "VKUI200.INI"}));
  }
}

TEST_F(InstallationTest, TheMonitorDllGoesToTheWindowsDirectoryOn64Bit) {
  for (int is64 : {0, 1}) {
    spooler.copies.clear();
    spooler.monitorEnvironments.clear();
    EngineHarness h(is64, 2006);
    EXPECT_EQ(h.engine.AddLanguageMonitor(), 1);
    ASSERT_EQ(spooler.copies.size(), 1u);
    char folder[MAX_PATH] = "";
    if (is64) {
      GetWindowsDirectoryA(folder, MAX_PATH);
    } else {
      GetSystemDirectoryA(folder, MAX_PATH);
    }
    EXPECT_EQ(spooler.copies[0].first, test::InStartFolder(is64 ? "Driver64\\VKMON200.dll" : "Driver32\\VKMON200.dll"));
    EXPECT_EQ(spooler.copies[0].second, std::string(folder) + "\\VKMON200.dll");
    EXPECT_EQ(spooler.monitorEnvironments, (std::vector<std::string>{is64 ? "Windows x64" : "Windows NT x86"}));
    EXPECT_EQ(spooler.monitorDlls, (std::vector<std::string>{"VKMON200.dll"}));
    spooler.monitorDlls.clear();
  }
}

TEST_F(InstallationTest, RegistrationFailuresShowTheSystemsTextAndTheSequenceGoesOn) {
  EngineHarness h(0, 2005);
  os.FailNth("AddMonitorA", 1, ERROR_ACCESS_DENIED);
  os.FailNth("AddPrintProcessorA", 1, ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
  os.FailNth("AddPrinterDriverA", 1, ERROR_INVALID_PARAMETER);
  // Monitor and driver never registered: no success, no restart question.
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kCom1); }), std::optional<UINT>(1603));
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[3].text, "The printer driver could not be installed.");
  const std::string trace = test::ReadTraceLog();
  EXPECT_NE(trace.find(": NOT INSTALLED : language monitor ZEM Language Monitor VKP-M200\r\n"), std::string::npos);
  EXPECT_NE(trace.find(": NOT INSTALLED : printer driver NORVEKA VKP-M200 (Windows NT x86)\r\n"), std::string::npos);
  EXPECT_EQ(trace.find("successfully installed"), std::string::npos);
  EXPECT_EQ(boxes[0].text, "AddMonitor, ERR CODE: 5\n\n" + ui::SystemErrorText(5));
  EXPECT_EQ(boxes[1].text, "AddPrintProcessor, ERR CODE: " + std::to_string(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED) +
                               "\n\n" + ui::SystemErrorText(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED));
  EXPECT_EQ(boxes[2].text, "AddPrinterDriver, ERR CODE: 87\n\n" + ui::SystemErrorText(87));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[static_cast<std::size_t>(i)].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(spooler.addedPrinters.size(), 1u) << "the printer is still added";
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": AddLanguageMonitor END\r\n"), std::string::npos);
}

TEST_F(InstallationTest, AMonitorThatIsAlreadyInstalledCountsAsSuccess) {
  EngineHarness h(0, 2005);
  os.FailNth("AddMonitorA", 1, ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
  EXPECT_EQ(h.engine.AddLanguageMonitor(), 1);
  EXPECT_TRUE(os.MessageBoxes().empty());
}

TEST_F(InstallationTest, FramedynRetryOn126BelowVista) {
  {
    EngineHarness h(0, 2005);
    os.FailNth("AddPrinterDriverA", 1, ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(h.engine.AddPrinterDriverToSystem(), 1);
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_EQ(spooler.copies.size(), 1u);
    EXPECT_EQ(spooler.copies[0].first, std::string(system) + "\\wbem\\framedyn.dll");
    EXPECT_EQ(spooler.copies[0].second, std::string(system) + "\\framedyn.dll");
    const auto deletes = os.CallsOf("DeleteFileA");
    ASSERT_FALSE(deletes.empty());
    EXPECT_EQ(deletes.back().args.at(0), std::string(system) + "\\framedyn.dll");
    EXPECT_EQ(os.CountOf("AddPrinterDriverA"), 2);
    EXPECT_TRUE(os.MessageBoxes().empty());
  }
  spooler.copies.clear();
  os.ClearCalls();
  {
    EngineHarness h(0, 2007);
    os.FailNth("AddPrinterDriverA", 1, ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(h.engine.AddPrinterDriverToSystem(), 0);
    EXPECT_EQ(os.CountOf("AddPrinterDriverA"), 1) << "no retry from Vista on";
    EXPECT_EQ(os.MessageBoxes().size(), 1u);
  }
}

TEST_F(InstallationTest, AFailedAddPrinterEndsTheInstallerWith1603) {
  EngineHarness h(0, 2005);
  os.FailNth("AddPrinterA", 1, ERROR_PRINTER_ALREADY_EXISTS);
  EXPECT_EQ(Run([&] { return h.engine.AddToWin2K(kCom1); }), std::optional<UINT>(1603));
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "AddPrinter, Error Code: 1802\n\n" + ui::SystemErrorText(1802));
  EXPECT_EQ(os.CountOf("SetupCopyOEMInfA"), 0) << "nothing after the printer step";
  EXPECT_NE(test::ReadTraceLog().find(": AddPrinterToSystem END\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vkp
