#include <gtest/gtest.h>

#include <functional>
#include <vector>
#include <string>
#include <thread>

#include "InstallerResource.h"
#include "installer/InstallThread.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/ConfigFiles.h"
#include "tests/wine/SpoolerObjects.h"
#include "tests/wine/TestProgram.h"
#include "ui/Deployment.h"

namespace vkp {
namespace {

using test::CurrentDirConfigPath;
using test::FakeOs;
using test::ProcessExit;
using test::WriteFileText;

class InstallThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveConfigFiles();
    InitTraceLog();
  }
  void TearDown() override {
    test::RemoveConfigFiles();
    ::DeleteFileA(kInf);
  }

  // The installer's folder holds the INF and `files`, and the installer
  // carries their digests, as a build lists them.
  static void GivePackage(InstallerDlg& dialog, std::vector<std::string> files = {}) {
    WriteFileText(kInf, "[Version]\r\n");
    files.insert(files.begin(), kInf);
    dialog.engine.strPackageDigests = test::DigestListOf(files);
  }
  static constexpr char kInf[] = "VKPM200.inf";

  // Runs the worker on this thread; `portDialog` acts on the port dialog if it appears.
  UINT RunWorker(InstallerDlg& dialog, std::function<void(HWND)> portDialog = nullptr) {
    std::thread user;
    if (portDialog) {
      user = std::thread([portDialog] {
        for (int i = 0; i < 500; ++i) {
          HWND window = FindWindowA(nullptr, "Port Type");
          if (window != nullptr && IsWindowVisible(window)) {
            portDialog(window);
            return;
          }
          Sleep(10);
        }
      });
    }
    UINT code = 12345;
    try {
      InstallThread(&dialog);
    } catch (const ProcessExit& exit) {
      code = exit.code;
    }
    if (user.joinable()) user.join();
    return code;
  }

  // Keeps in `command` the printui command the installation would start; its
  // start is made to fail, which ends the run with 1603 after the closing steps.
  void CapturePrintUi(FakeOs& os) {
    command.clear();
    os.Replace<&PlatformApi::CreateProcessA>(
        [this](LPCSTR, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
               LPSTARTUPINFOA, LPPROCESS_INFORMATION) -> BOOL {
          if (std::string(line).rfind("RUNDLL32 ", 0) == 0) command = line;  // not the spooler starts
          SetLastError(ERROR_FILE_NOT_FOUND);
          return FALSE;
        });
  }

  test::TestApp app{"VKPM200_Installer"};
  std::string command;
};

TEST_F(InstallThreadTest, ReleasesBefore2000AreRefused) {
  for (int code : {2000, 2002, 2003}) {
    FakeOs os;
    InstallerDlg dialog;
    dialog.nOSVersion = code;
    EXPECT_EQ(RunWorker(dialog), 1603u);
    const auto boxes = os.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "THE DRIVER CAN NOT BE INSTALLED ON THIS OS.");
    EXPECT_EQ(boxes[0].caption, "VKPM200_Installer");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(os.CountOf("GetPrivateProfileStringA"), 0) << "nothing else happens";
    EXPECT_EQ(dialog.bInstalling, 0);
  }
}

TEST_F(InstallThreadTest, SilentModeTakesThePortFromTheConfiguration) {
  WriteFileText(CurrentDirConfigPath(),
                "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=WLAN\r\nWLAN_PORT=20000\r\nWLAN_IP_1=192\r\nWLAN_IP_2=168\r\n"
                "WLAN_IP_3=0\r\nWLAN_IP_4=20\r\n");
  FakeOs os;
  CapturePrintUi(os);
  InstallerDlg dialog;
  GivePackage(dialog);
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog), 1603u);
  EXPECT_NE(command.find("/r \"IP_192.168.0.20\""), std::string::npos) << command;
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": IP ADDRESS : 192.168.0.20\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(": PORT NUMBER : 20000\r\n"), std::string::npos)
      << "silent mode does not validate the port number";
  EXPECT_NE(log.find(": AddEthernetPort BEGIN\r\n"), std::string::npos) << "the port is created first";
  EXPECT_EQ(FindWindowA(nullptr, "Port Type"), nullptr) << "the hidden dialog is destroyed";
}

TEST_F(InstallThreadTest, ThePortSwitchOverridesTheConfigurationAndAnUnattendedRunNeverAsks) {
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM1\r\n");
  {
    FakeOs os;
    CapturePrintUi(os);
    InstallerDlg dialog;
    GivePackage(dialog);
    dialog.nOSVersion = 2010;
    dialog.switches.portType = 5;  // /port=WLAN /ip=192.168.0.21 (/tcpport 9100)
    dialog.switches.octets[0] = 192, dialog.switches.octets[1] = 168, dialog.switches.octets[3] = 21;
    dialog.switches.tcpPort = 9100;
    EXPECT_EQ(RunWorker(dialog), 1603u);
    EXPECT_NE(command.find("/r \"IP_192.168.0.21\""), std::string::npos) << command;
  }
  test::RemoveConfigFiles();  // no configuration: the port dialog would be asked for
  InitTraceLog();
  ui::SetDeployment({true, false, ui::RestartChoice::Never});
  FakeOs os;
  InstallerDlg dialog;
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog, [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); }), 1603u);
  ui::SetDeployment({});
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_NE(test::ReadTraceLog().find(": NO PORT : give /port="), std::string::npos);
  EXPECT_EQ(test::ReadTraceLog().find("AddToWin2K"), std::string::npos) << "nothing is installed";
}

TEST_F(InstallThreadTest, ProtectedPrintModeIsRefusedBeforeAnythingChanges) {
  const char* key = "SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
  HKEY wpp = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &wpp,
                            nullptr),
            ERROR_SUCCESS);
  const DWORD on = 1;
  RegSetValueExA(wpp, "WindowsProtectedPrintGroupPolicyState", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                 sizeof on);
  RegCloseKey(wpp);
  FakeOs os;
  InstallerDlg dialog;
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog), 1603u);
  HKEY policies = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers", 0,
                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, &policies) == ERROR_SUCCESS) {
    RegDeleteKeyA(policies, "WPP");
    RegCloseKey(policies);
  }
  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text.rfind("Windows protected print mode is on.", 0), 0u);
  EXPECT_EQ(os.CountOf("GetPrivateProfileStringA"), 0) << "refused before the port is even read";
}

TEST_F(InstallThreadTest, ThePortDialogShowsUnlessTheValueLacksUpperCaseTrue) {
  struct Row {
    const char* config;
    bool dialogShown;
  };
  const Row rows[] = {{nullptr, true},          {"PORTDLG=", true},      {"PORTDLG=TRUE", true},
                      {"PORTDLG=NOTTRUE", true}, {"PORTDLG=FALSE", false}, {"PORTDLG=true", false}};
  for (const Row& row : rows) {
    test::RemoveConfigFiles();
    if (row.config != nullptr) WriteFileText(CurrentDirConfigPath(), std::string("[VKPM200]\r\nPORT=COM2\r\n") + row.config + "\r\n");
    FakeOs os;
    CapturePrintUi(os);
    InstallerDlg dialog;
    GivePackage(dialog);
    dialog.nOSVersion = 2010;
    bool shown = false;
    EXPECT_EQ(RunWorker(dialog, row.dialogShown ? std::function<void(HWND)>([&](HWND window) {
                                                    shown = true;
                                                    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                                  })
                                                : nullptr),
              1603u);
    EXPECT_EQ(shown, row.dialogShown) << (row.config ? row.config : "no file");
    const std::string port = row.config != nullptr ? "COM2:" : "COM1:";  // PORT=COM2, or the default COM1
    EXPECT_NE(command.find("/r \"" + port + "\""), std::string::npos) << command;
  }
}

TEST_F(InstallThreadTest, CancellingThePortDialogEndsTheInstallation) {
  FakeOs os;
  InstallerDlg dialog;
  dialog.nOSVersion = 2010;
  int installingWhileShown = -1;
  EXPECT_EQ(RunWorker(dialog,
                      [&](HWND window) {
                        installingWhileShown = dialog.bInstalling;
                        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                      }),
            1602u);
  EXPECT_EQ(installingWhileShown, 1);
  EXPECT_TRUE(test::ShowedOneBox(os, "The driver installation canceled.", MB_OK | MB_ICONINFORMATION));
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": The driver installation canceled.\r\n"), std::string::npos);
  EXPECT_EQ(log.find("AddToWin2K"), std::string::npos) << "nothing is installed";
}

TEST_F(InstallThreadTest, TheChosenPortReachesThePrintUiCommand) {
  // printui reads the checked copy of the package.
  const std::string inf = "\"" + test::WindowsDirectory() + "\\VKP-M200_Package\\VKPM200.inf\"";
  const std::pair<int, std::string> choices[] = {
      {IDC_RADIO_COM1, "/if /b \"NORVEKA VKP-M200\" /f " + inf + " /r \"COM1:\" /m \"NORVEKA VKP-M200\""},
      {IDC_RADIO_COM3, "/r \"COM3:\""},
      {IDC_RADIO_COM4, "/r \"COM4:\""},
      {IDC_RADIO_USB, "/ia /m \"NORVEKA VKP-M200\" /f " + inf}};
  for (const auto& choice : choices) {
    InitTraceLog();
    FakeOs os;
    CapturePrintUi(os);
    InstallerDlg dialog;
    GivePackage(dialog);
    dialog.nOSVersion = 2010;
    EXPECT_EQ(RunWorker(dialog,
                        [&](HWND window) {
                          SendMessageA(GetDlgItem(window, choice.first), BM_CLICK, 0, 0);
                          PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                        }),
              1603u);
    EXPECT_NE(command.find(choice.second), std::string::npos) << command;
    EXPECT_EQ(command.find("/u"), std::string::npos) << "no driver installed before";
  }
}

// What the installation reads is the checked copy, in a folder beside the
// installation directory; the copy holds this architecture's files only,
// and goes at the end of the run.
TEST_F(InstallThreadTest, ThePackageIsCheckedInItsCopyAndTheCopyRemovedAtTheEnd) {
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM2\r\n");
  ::CreateDirectoryA("Driver32", nullptr);
  ::CreateDirectoryA("Driver64", nullptr);
  WriteFileText("Driver32\\VKMON200.dll", "monitor x86");
  WriteFileText("Driver64\\VKMON200.dll", "monitor x64");
  FakeOs os;
  CapturePrintUi(os);
  InstallerDlg dialog;
  GivePackage(dialog, {"Driver32\\VKMON200.dll", "Driver64\\VKMON200.dll"});
  ::DeleteFileA("Driver64\\VKMON200.dll");  // the other architecture's: never read
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog), 1603u) << "printui could not be started";
  const std::string staged = test::WindowsDirectory() + "\\VKP-M200_Package\\";
  EXPECT_NE(command.find("/f \"" + staged + "VKPM200.inf\""), std::string::npos) << command;
  EXPECT_TRUE(test::TraceHasLines({"PACKAGE FILE CHECKED : " + staged + "VKPM200.inf",
                                   "PACKAGE FILE CHECKED : " + staged + "Driver32\\VKMON200.dll",
                                   "PACKAGE STAGED : " + staged}));
  EXPECT_TRUE(test::TraceHasEntry("PACKAGE COPY REMOVED : " + staged.substr(0, staged.size() - 1)));
  EXPECT_FALSE(test::FileExists(staged)) << "removed at the end of the run";
  ::DeleteFileA("Driver32\\VKMON200.dll");
}

// A file that differs from its digest, or is missing, or a build without the
// list: the box names the file, the trace says why, nothing is installed
// and no copy is left.
TEST_F(InstallThreadTest, ADamagedPackageInstallsNothing) {
  struct Row {
    const char* damage;
    std::string box;
    std::string trace;
  };
  const Row rows[] = {
      {"changed", "VKPM200.inf", "PACKAGE FILE MISMATCH : VKPM200.inf"},
      {"missing", "Driver32\\VKP200.dll", "PACKAGE FILE MISSING : Driver32\\VKP200.dll"},
      {"no list", "VKPM200_Installer.exe", "PACKAGE DIGEST LIST MISSING : VKPM200_Installer.exe"},
  };
  for (const Row& row : rows) {
    InitTraceLog();
    WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM2\r\n");
    ::CreateDirectoryA("Driver32", nullptr);
    WriteFileText("Driver32\\VKP200.dll", "plug-in");
    FakeOs os;
    CapturePrintUi(os);
    InstallerDlg dialog;
    GivePackage(dialog, {"Driver32\\VKP200.dll"});
    const std::string damage = row.damage;
    if (damage == "changed") WriteFileText(kInf, "[Version]\r\n;");
    if (damage == "missing") ::DeleteFileA("Driver32\\VKP200.dll");
    if (damage == "no list") dialog.engine.strPackageDigests.clear();  // this test program carries none
    dialog.nOSVersion = 2010;
    EXPECT_EQ(RunWorker(dialog), 1603u) << row.damage;
    EXPECT_TRUE(test::ShowedOneBox(os, "The printer driver package is damaged: " + row.box + "\n\nNothing was installed.",
                                   MB_OK | MB_ICONERROR))
        << row.damage;
    EXPECT_TRUE(test::TraceHasEntry(row.trace)) << row.damage;
    EXPECT_TRUE(command.empty()) << row.damage << ": printui never started";
    EXPECT_EQ(test::ReadTraceLog().find("CheckInstalledVersion"), std::string::npos) << "nothing else read";
    EXPECT_FALSE(test::FileExists(test::WindowsDirectory() + "\\VKP-M200_Package")) << row.damage;
    ::DeleteFileA("Driver32\\VKP200.dll");
  }
}

}  // namespace
}  // namespace vkp

namespace vkp {
namespace {

using test::DriverFiles;
using test::SpoolerObjects;

constexpr char kDriver[] = "NORVEKA VKP-M200";
constexpr char kRemovalAnnounced[] =
    "There is a different version driver in this system.\r\n\r\nThe installed driver will be removed.";

// The model's driver without a printer, as a run of version 2.0.1 left it
// (its model files say so), and the installer's package folder with the
// model files of `packageVersion`; the universal driver's core is the same
// in both. The installation is silent, for COM1.
void LeaveDriverWithoutPrinter(SpoolerObjects& spooler, InstallerDlg& dialog, const std::string& packageVersion) {
  spooler.RegisterDriver(kDriver);
  SpoolerObjects::FilesOf(kDriver).Write("core", "gpd 2.0.1", "plug-in 2.0.1");
  CreateDirectoryA("Driver32", nullptr);
  const DriverFiles package = DriverFiles::InFolder("Driver32\\");
  package.Write("core", "gpd " + packageVersion, "plug-in " + packageVersion);
  WriteFileText("VKPM200.inf", "[Version]\r\n");
  dialog.engine.strPackageDigests = test::DigestListOf({"VKPM200.inf", package.core, package.dataFile, package.plugIn});
  WriteFileText(CurrentDirConfigPath(), "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM1\r\n");
}

bool DriverListed() { return !SpoolerObjects::FilesOf(kDriver).core.empty(); }

// The package's model files differ from the installed driver's: another
// version, removed, and the restart started; nothing is installed in this run.
TEST_F(InstallThreadTest, ADifferentVersionIsRemovedAndARestartRequestedInsteadOfInstalling) {
  SpoolerObjects spooler;
  InstallerDlg dialog;
  LeaveDriverWithoutPrinter(spooler, dialog, "2.0.2");
  FakeOs os;
  CapturePrintUi(os);
  dialog.nOSVersion = 2005;
  EXPECT_EQ(RunWorker(dialog), 1641u) << "removed, and the restart started";
  EXPECT_EQ(dialog.bRemoving, 1);
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, kRemovalAnnounced);
  EXPECT_EQ(boxes[1].text,
            "The installer has successfully removed the different version.\nNow it is going to restart your computer "
            "to take effect.\nAfter restarting, you may reinstall the driver again.");
  EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(os.RestartRequests().size(), 1u);
  EXPECT_TRUE(command.empty()) << "nothing is installed in this run";
  EXPECT_EQ(os.CountOf("AddPrinterDriverA"), 0);
  EXPECT_TRUE(test::TraceHasEntry("THE INSTALLED DRIVER'S VKP200.GPD IS NOT THIS PACKAGE'S"));
  EXPECT_FALSE(DriverListed()) << "removed";
}

// The same model files: what an earlier run of this version left. Nothing
// is removed; the installation goes on over the driver.
TEST_F(InstallThreadTest, TheSameVersionLeftWithoutPrinterIsNotRemoved) {
  SpoolerObjects spooler;
  InstallerDlg dialog;
  LeaveDriverWithoutPrinter(spooler, dialog, "2.0.1");
  FakeOs os;
  CapturePrintUi(os);
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog), 1603u) << "printui could not be started";
  EXPECT_EQ(dialog.bRemoving, 0);
  for (const auto& box : os.MessageBoxes()) EXPECT_NE(box.text, kRemovalAnnounced);
  EXPECT_TRUE(os.RestartRequests().empty());
  EXPECT_TRUE(test::TraceHasEntry("THE INSTALLED DRIVER IS THIS PACKAGE'S, WITHOUT A PRINTER"));
  EXPECT_NE(command.find(" /u /h "), std::string::npos) << "installed with the driver present: " << command;
  EXPECT_TRUE(DriverListed());
}

// /norestart leaves the restart to the caller: the box asks for it, and the
// run ends with 3010 instead of starting it.
TEST_F(InstallThreadTest, WithNoRestartADifferentVersionIsRemovedAndTheRestartLeftToTheCaller) {
  SpoolerObjects spooler;
  InstallerDlg dialog;
  LeaveDriverWithoutPrinter(spooler, dialog, "2.0.2");
  ui::SetDeployment({false, false, ui::RestartChoice::Never});
  FakeOs os;
  CapturePrintUi(os);
  dialog.nOSVersion = 2005;
  const UINT code = RunWorker(dialog);
  ui::SetDeployment({});
  EXPECT_EQ(code, 3010u);
  EXPECT_TRUE(os.RestartRequests().empty());
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text,
            "The installer has successfully removed the different version.\nPlease restart your computer to take "
            "effect.\nAfter restarting, you may reinstall the driver again.");
  EXPECT_TRUE(test::TraceHasEntry("RESTART NOT STARTED : left to the caller by the switches"));
  EXPECT_TRUE(command.empty()) << "nothing is installed in this run";
  EXPECT_FALSE(DriverListed()) << "removed";
}

// A removal that leaves the driver listed is a failure, said as such: no
// restart, and 1603.
TEST_F(InstallThreadTest, ADifferentVersionThatCannotBeRemovedFailsWithoutRestart) {
  SpoolerObjects spooler;
  InstallerDlg dialog;
  LeaveDriverWithoutPrinter(spooler, dialog, "2.0.2");
  FakeOs os;
  CapturePrintUi(os);
  os.FailNth("DeletePrinterDriverExA", 0, ERROR_ACCESS_DENIED);
  os.FailNth("SHDeleteKeyA", 0, ERROR_ACCESS_DENIED);
  dialog.nOSVersion = 2005;
  EXPECT_EQ(RunWorker(dialog), 1603u);
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "The different version of the printer driver could not be removed.");
  EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(os.RestartRequests().empty());
  EXPECT_TRUE(test::TraceHasLines({"STILL INSTALLED : printer driver NORVEKA VKP-M200 (Windows NT x86)",
                                   "REMOVAL OF THE DIFFERENT VERSION FAILED"}));
  EXPECT_TRUE(command.empty()) << "nothing is installed in this run";
  EXPECT_TRUE(DriverListed());
}

}  // namespace
}  // namespace vkp
