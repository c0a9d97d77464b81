#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "InstallerResource.h"
#include "installer/InstallThread.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/ConfigFiles.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

using test::CurrentDirConfigPath;
using test::FakeOs;
using test::ProcessExit;
using test::WriteTextFile;

class InstallThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemoveConfigFiles();
    InitTraceLog();
  }
  void TearDown() override { test::RemoveConfigFiles(); }

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

  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(InstallThreadTest, ReleasesBefore2000AreRefused) {
  for (int code : {2000, 2002, 2003}) {
    FakeOs os;
    InstallerDlg dialog;
    dialog.nOSVersion = code;
    EXPECT_EQ(RunWorker(dialog), 0u);
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
  WriteTextFile(CurrentDirConfigPath(),
                "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=WLAN\r\nWLAN_PORT=20000\r\nWLAN_IP_1=192\r\nWLAN_IP_2=168\r\n"
                "WLAN_IP_3=0\r\nWLAN_IP_4=20\r\n");
  FakeOs os;
  InstallerDlg dialog;
  dialog.nOSVersion = 2010;
  EXPECT_EQ(RunWorker(dialog), 0u);
  EXPECT_TRUE(os.MessageBoxes().empty());
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": PORT CODE : 1005\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(": PORT NUMBER : 20000, IP ADDRESS : 192.168.0.20\r\n"), std::string::npos)
      << "silent mode does not validate the port number";
  EXPECT_EQ(dialog.bInstalling, 0);
  EXPECT_EQ(FindWindowA(nullptr, "Port Type"), nullptr) << "the hidden dialog is destroyed";
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
    if (row.config != nullptr) WriteTextFile(CurrentDirConfigPath(), std::string("[VKPM200]\r\nPORT=COM2\r\n") + row.config + "\r\n");
    FakeOs os;
    InstallerDlg dialog;
    dialog.nOSVersion = 2005;
    bool shown = false;
    EXPECT_EQ(RunWorker(dialog, row.dialogShown ? std::function<void(HWND)>([&](HWND window) {
                                                    shown = true;
                                                    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                                  })
                                                : nullptr),
              0u);
    EXPECT_EQ(shown, row.dialogShown) << (row.config ? row.config : "no file");
    const std::string code = row.config != nullptr ? "1001" : "1000";  // PORT=COM2, or the default COM1
    EXPECT_NE(test::ReadTraceLog().find(": PORT CODE : " + code + "\r\n"), std::string::npos)
        << (row.config ? row.config : "no file");
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
            0u);
  EXPECT_EQ(installingWhileShown, 1);
  const auto boxes = os.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The driver installation canceled.");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  const std::string log = test::ReadTraceLog();
  EXPECT_NE(log.find(": The driver installation canceled.\r\n"), std::string::npos);
  EXPECT_EQ(log.find("PORT CODE"), std::string::npos);
}

TEST_F(InstallThreadTest, TheChosenPortGivesItsCode) {
  const std::pair<int, int> choices[] = {{IDC_RADIO_COM1, 1000}, {IDC_RADIO_COM3, 1002}, {IDC_RADIO_COM4, 1003},
                                         {IDC_RADIO_USB, 1004}};
  for (const auto& choice : choices) {
    InitTraceLog();
    FakeOs os;
    InstallerDlg dialog;
    dialog.nOSVersion = 2010;
    EXPECT_EQ(RunWorker(dialog,
                        [&](HWND window) {
                          SendMessageA(GetDlgItem(window, choice.first), BM_CLICK, 0, 0);
                          PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                        }),
              0u);
    EXPECT_NE(test::ReadTraceLog().find(": PORT CODE : " + std::to_string(choice.second) + "\r\n"), std::string::npos)
        << choice.second;
  }
}

}  // namespace
}  // namespace vkp
