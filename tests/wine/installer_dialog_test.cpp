#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "InstallerResource.h"
#include "installer/VKPM200_InstallerDlg.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestProgram.h"
#include "ui/App.h"

namespace vkp {
namespace {

using test::FakeOs;

// What the stand-in worker saw, checked on the test's thread afterwards.
struct WorkerView {
  std::atomic<bool> started{false};
  bool visible = false;
  std::string title, version, message, caption;
  int progressLow = -1, progressHigh = -1, progressPos = -1;
  int installingAtStart = -1;
  bool openAfterEscape = false, openAfterEnter = false, openAfterClose = false, openAfterAltF4 = false;
  bool closeInMenuWhileBusy = true;
  bool closeInMenuBefore = false;
  std::string refreshedMessage;
  HICON dragIcon = nullptr;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
};

// The width of an icon's image in pixels.
int IconWidth(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  BITMAP image{};
  GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof image, &image);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return image.bmWidth;
}

WorkerView* gView = nullptr;
InstallerDlg* gDialog = nullptr;

std::string Text(HWND dialog, int id) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool WaitUntil(bool (*condition)()) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    ::Sleep(10);
  }
  return false;
}

bool HasClose(HWND window) {
  return GetMenuState(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

// Round trip through the dialog's queue: everything posted before is handled.
void Flush(HWND window) {
  PostMessageA(window, WM_NULL, 0, 0);
  SendMessageA(window, WM_NULL, 0, 0);
  ::Sleep(50);
}

unsigned __stdcall StandInWorker(void*) {
  WorkerView& view = *gView;
  InstallerDlg& dialog = *gDialog;
  view.started = true;
  HWND window = dialog.Hwnd();
  view.installingAtStart = dialog.bInstalling;
  WaitUntil([] { return IsWindowVisible(gDialog->Hwnd()) != FALSE; });
  Flush(window);
  view.visible = IsWindowVisible(window) != FALSE;
  view.title = Text(window, IDC_TITLE);
  view.version = Text(window, IDC_VERSION);
  view.message = Text(window, IDC_MESSAGE);
  char caption[64] = "";
  GetWindowTextA(window, caption, sizeof caption);
  view.caption = caption;
  PBRANGE range{};
  SendMessageA(dialog.Item(IDC_PROGRESS), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  view.progressLow = range.iLow;
  view.progressHigh = range.iHigh;
  view.closeInMenuBefore = HasClose(window);
  view.dragIcon = reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0));
  view.bigIcon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  view.smallIcon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));

  // Busy: every way of ending the dialog is ignored.
  dialog.bInstalling = 1;
  dialog.engine.ReportStep("Checking existing drivers...\r\n");
  Flush(window);
  view.refreshedMessage = Text(window, IDC_MESSAGE);
  view.progressPos = static_cast<int>(SendMessageA(dialog.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  Flush(window);
  view.openAfterEscape = IsWindow(window) && IsWindowVisible(window);
  view.closeInMenuWhileBusy = HasClose(window);
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  Flush(window);
  view.openAfterEnter = IsWindow(window) && IsWindowVisible(window);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Flush(window);
  view.openAfterClose = IsWindow(window) && IsWindowVisible(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  Flush(window);
  view.openAfterAltF4 = IsWindow(window) && IsWindowVisible(window);

  // Idle again: the dialog can be closed (the worker never started its work).
  dialog.bInstalling = 0;
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

class InstallerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { test::SetTraceLogFileName("VKP-M200_Installer.txt"); }
  // Runs `dialog` modally with the stand-in worker, which fills `view`.
  static INT_PTR RunWithStandIn(InstallerDlg& dialog, WorkerView& view) {
    gView = &view;
    gDialog = &dialog;
    dialog.workerEntry = &StandInWorker;
    dialog.BecomeMainWindowOnCreate();
    return dialog.DoModal();
  }
  test::TestApp app{"VKPM200_Installer"};
};

TEST_F(InstallerDialogTest, InitialisationPreparesEverythingThenStartsTheWorker) {
  FakeOs os;
  WorkerView view;
  InstallerDlg dialog;
  EXPECT_EQ(RunWithStandIn(dialog, view), IDCANCEL);

  ASSERT_TRUE(view.started);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.caption, "Installation Progress");
  EXPECT_EQ(view.title, "NORVEKA VKP-M200");
  EXPECT_EQ(view.version, "Driver Version: V2.0.2");
  EXPECT_EQ(view.message, "") << "the placeholder is replaced at the first refresh";
  EXPECT_EQ(view.progressLow, 0);
  EXPECT_EQ(view.progressHigh, 100);
  EXPECT_EQ(view.installingAtStart, 1) << "busy before the worker runs";
  ASSERT_NE(dialog.Icon(), nullptr) << "icon 128 from the resources";
  EXPECT_EQ(view.dragIcon, dialog.Icon());
  EXPECT_EQ(view.bigIcon, dialog.Icon());
  // Each at the size for the display's scale: the title bar's the small one.
  EXPECT_EQ(IconWidth(view.bigIcon), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconWidth(view.smallIcon), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(view.refreshedMessage, "Checking existing drivers...\r\n");
  EXPECT_EQ(view.progressPos, 9) << "one step of 9";

  // Order of the platform calls of the initialisation.
  std::vector<std::string> order;
  for (const auto& name : os.CallNames()) {
    if (name == "GetWindowsDirectoryA" || name == "CreateDirectoryA" || name == "DeleteFileA" ||
        name == "GetProcAddress" || name == "GetVersionExA" || name == "CreateProcessA" || name == "Sleep")
      order.push_back(name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"GetWindowsDirectoryA", "CreateDirectoryA", "DeleteFileA",
                                             "GetProcAddress", "GetVersionExA", "CreateProcessA", "Sleep", "Sleep"}));
  const std::string spoolerStart = os.CallsOf("CreateProcessA").at(0).args.at(0);
  EXPECT_TRUE(test::IsSystemProgram(spoolerStart.c_str()) && spoolerStart.size() > 8 &&
              lstrcmpiA(spoolerStart.substr(spoolerStart.size() - 8).c_str(), "\\net.exe") == 0)
      << spoolerStart << ": the spooler is started by the system's net";
  EXPECT_EQ(os.CallsOf("CreateProcessA").at(0).args.at(7), test::SystemDirectory())
      << "net, which may outlive us, must not hold our folder";
  EXPECT_EQ(os.Sleeps(), (std::vector<DWORD>{2000, 500}));

  const bool is64 = dialog.bIs64Bit != 0;
  EXPECT_EQ(dialog.engine.strEnvironment, is64 ? "Windows x64" : "Windows NT x86");
  EXPECT_EQ(dialog.engine.strDriverDir, test::InStartFolder(is64 ? "Driver64\\" : "Driver32\\"));
  EXPECT_EQ(dialog.engine.nOSVersion, dialog.nOSVersion);
  EXPECT_EQ(dialog.engine.strModelName, "NORVEKA VKP-M200");
  EXPECT_EQ(dialog.engine.strINFName, "VKPM200.inf");
  EXPECT_EQ(dialog.engine.strMonitorName, "ZEM Language Monitor VKP-M200");
  EXPECT_TRUE(dialog.engine.bUseOwnProcessor);

  const std::string log = test::ReadTraceLog();
  const std::vector<std::string> expected = {
      is64 ? ": The process is running under WOW64.\r\n" : ": The process is not running under WOW64.\r\n",
      ": \r\n\r\n", ": CheckOS BEGIN\r\n", ": CheckOS END\r\n", ": \r\n\r\n", ": SetSystemInfo BEGIN\r\n",
      is64 ? ": ENV : Windows x64, DRV DIR : " + test::InStartFolder("Driver64\\ \r\n")
           : ": ENV : Windows NT x86, DRV DIR : " + test::InStartFolder("Driver32\\ \r\n"),
      ": SetSystemInfo END\r\n", ": \r\n\r\n", ": SetControlPointers BEGIN\r\n", ": SetControlPointers END\r\n"};
  std::size_t pos = 0;
  for (const auto& line : expected) {
    const auto found = log.find(line, pos);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << line << "\nlog:\n" << log;
    pos = found + line.size();
  }
}

TEST_F(InstallerDialogTest, WhileBusyNothingButTheWorkerEndsTheDialog) {
  FakeOs os;
  WorkerView view;
  InstallerDlg dialog;
  RunWithStandIn(dialog, view);
  EXPECT_FALSE(view.closeInMenuBefore) << "busy from the worker's start";
  EXPECT_TRUE(view.openAfterEscape);
  EXPECT_FALSE(view.closeInMenuWhileBusy) << "Close is removed from the system menu while busy";
  EXPECT_TRUE(view.openAfterEnter);
  EXPECT_TRUE(view.openAfterClose);
  EXPECT_TRUE(view.openAfterAltF4);
}

// A worker that starts late: until it is released, it has done nothing.
HANDLE gRelease = nullptr;
unsigned __stdcall LateWorker(void*) {
  WaitForSingleObject(gRelease, 10000);
  gDialog->bInstalling = 0;
  PostMessageA(gDialog->Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

TEST_F(InstallerDialogTest, KeysBeforeTheWorkerRunsLeaveTheDialogOpen) {
  FakeOs os;
  InstallerDlg dialog;
  gDialog = &dialog;
  dialog.workerEntry = &LateWorker;
  gRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool openAfterKeys = false;
  std::thread user([&openAfterKeys] {
    WaitUntil([] { return gDialog->Hwnd() != nullptr && IsWindowVisible(gDialog->Hwnd()) != FALSE; });
    HWND window = gDialog->Hwnd();
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(window, WM_CLOSE, 0, 0);
    Flush(window);
    openAfterKeys = IsWindow(window) && IsWindowVisible(window);
    SetEvent(gRelease);
  });
  dialog.BecomeMainWindowOnCreate();
  dialog.DoModal();
  user.join();
  CloseHandle(gRelease);
  EXPECT_TRUE(openAfterKeys);
}

}  // namespace
}  // namespace vkp
