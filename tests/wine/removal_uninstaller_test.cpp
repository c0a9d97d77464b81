// The uninstaller's removal: the worker's timeline, the steps' traces and
// fallbacks, failures of every platform call, and the real Wine spooler.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "removal/RemovalEngine.h"
#include "removal/RemovalSequences.h"
#include "support/SystemProbes.h"
#include "tests/seam/HandleBalance.h"
#include "tests/wine/removal_harness.h"

namespace vkp {
namespace {

using removal::RemovalEngine;
using removal::Variant;
using test::FakeOs;
using test::kCompleted;
using test::Timeline;
using test::TraceEntries;
using test::TraceHasEntry;
using test::TraceHasFragment;
using test::TraceIndexOf;

class UninstallerRemoval : public test::RemovalTest<test::UninstallerWindow> {
 protected:
  UninstallerRemoval() : RemovalTest(Variant::Uninstaller, "VKP-M200_UnInstaller.txt", "VKPM200_Uninstaller") {}
  void NewHost() override {
    RemovalTest::NewHost();
    host->dialog = window.Hwnd();
    host->listPrinterObjects = &printers;
  }
  long long RunWorker() {
    return test::RunToExit([this] { removal::UninstallWorker(*host); });
  }
  // One printer listed and checked, Uninstall, No to the restart. The
  // installation folder counts as the administrators' (Wine reports the
  // Unix user as every file's owner).
  long long RemoveAllDecliningTheRestart(const std::string& printer) {
    window.AddRow(printer, true);
    host->nPrinterObjects = 1;
    FakeOs os;
    os.Replace<&PlatformApi::EqualSid>([](PSID, PSID) -> BOOL { return TRUE; });
    Timeline timeline(os, message, window.bar);
    timeline.Answer(IDNO);
    return RunWorker();
  }

  std::vector<std::string> printers;
};

std::vector<std::string> RemovalTimeline(const std::string& spoolerPauseText) {
  return {
      "sleep 1000 [Removing printer-drivers...] 20",
      "sleep 100 [Deleting forms...] 20",
      "sleep 100 [Deleting printer-drivers...] 20",
      "exec net stop spooler",
      "sleep 2000 [Deleting printer-drivers...] 20",
      "exec net start spooler",
      "sleep 2000 [Deleting printer-drivers...] 20",
      "sleep 100 [Deleting L/M...] 20",
      "sleep 100 [Deleting the processor...] 20",
      "sleep 100 [Deleting driver-components...] 30",
      "exec net stop spooler",
      "sleep 1500 [Deleting driver-components...] 30",
      "exec net start spooler",
      "sleep 2000 [Deleting driver-components...] 30",
      "sleep 100 [Deleting the INF file...] 30",
      "sleep 500 [Deleting Vid & Pid info...] 40",
      "sleep 500 [Deleting information of LPT and USB...] 50",
      "sleep 500 [Deleting PNP directories...] 60",
      "sleep 1000 [" + spoolerPauseText + "] 100",
  };
}

TEST_F(UninstallerRemoval, FullRemovalTimelineWhenTheRestartIsDeclined) {
  window.AddRow("Printer B", true);
  window.AddRow("Printer A", true);
  host->nPrinterObjects = 2;
  message.KeepHistory();
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  timeline.Answer(IDNO);

  EXPECT_EQ(RunWorker(), 3010) << "removed; the restart is still needed";

  std::vector<std::string> expected = {
      "sleep 1000 [Deleting printer-driver objects...] 10",
      "exec net stop spooler",
      "sleep 2000 [Deleting printer-driver objects...] 10",
      "exec net start spooler",
      "sleep 2000 [Deleting printer-driver objects...] 10",
  };
  for (const std::string& event : RemovalTimeline(kCompleted)) expected.push_back(event);
  expected.push_back("box 36 VKPM200_Uninstaller");
  expected.push_back(std::string("sleep 2000 [") + kCompleted + "] 100");
  EXPECT_EQ(timeline.Events(), expected);
  ASSERT_EQ(timeline.BoxTexts().size(), 1u);
  EXPECT_EQ(timeline.BoxTexts()[0],
            "Restarting your computer can take effect.\nPlease restart your computer.\n\n[Yes] I want to restart my "
            "computer now.\n[No] I want to restart my computer later.");

  EXPECT_TRUE(window.TakeCloseRequest()) << "the dialog is asked to close on its own thread";
  EXPECT_TRUE(os.RestartRequests().empty());
  EXPECT_FALSE(window.Enabled(1001));
  EXPECT_FALSE(window.Enabled(IDCANCEL));
  EXPECT_EQ(host->bBusy, 0);
  EXPECT_TRUE(printers.empty());
  EXPECT_EQ(message.History().back(), kCompleted);

  // The checked rows in reverse list order, then every step in order.
  const std::vector<std::string> order = {
      "OBJECT NAME : Printer B",          "OBJECT NAME : Printer A",          "RemovePrinterObjects END",
      "DeleteForms BEGIN",                "DeletePrinterDrv BEGIN",           "DeleteLanguageMonitor BEGIN",
      "DeleteProcessor BEGIN",            "DeleteDriverComponent BEGIN",      "DeleteINFFile BEGIN",
      "DeleteUninstallationInfo BEGIN",   "DeleteVidPid BEGIN",               "Delete_USB_Info BEGIN",
      "DeletePrnDrvPnPDirectory BEGIN",   "DeleteUninstallInfoFromReg BEGIN", "DeleteInstalledDirectory BEGIN",
      "DeleteInstalledDirectory END"};
  EXPECT_TRUE(test::TraceHasInOrder(order));
  EXPECT_FALSE(TraceHasEntry("RemoveFromOS BEGIN")) << "the uninstaller's core writes no lines of its own";
  EXPECT_TRUE(TraceHasEntry("KEY NAME : NORVEKA VKP-M200"));
  EXPECT_TRUE(TraceHasEntry(is64 ? "SECTION NAME : NORVEKA.NTamd64" : "SECTION NAME : NORVEKA"));
  EXPECT_TRUE(TraceHasEntry("VID&PID : USB\\Vid_6E2D&Pid_0D41"));
  EXPECT_TRUE(TraceHasEntry("REGKEY : SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200"));
}

TEST_F(UninstallerRemoval, RestartAcceptedEndsWithTheRestartRequest) {
  window.AddRow("Printer A", true);
  host->nPrinterObjects = 1;
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  timeline.Answer(IDYES);

  EXPECT_EQ(RunWorker(), 1641) << "removed, and the restart started";

  const auto& events = timeline.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "box 36 VKPM200_Uninstaller");
  EXPECT_EQ(events.back(), std::string("sleep 1000 [") + kCompleted + "] 100");
  const auto restarts = os.RestartRequests();
  ASSERT_EQ(restarts.size(), 1u);
  EXPECT_NE(restarts[0] & EWX_REBOOT, 0u);
  EXPECT_FALSE(window.TakeCloseRequest());
  EXPECT_EQ(host->bBusy, 0);
}

TEST_F(UninstallerRemoval, SomePrintersCheckedDeletesOnlyThose) {
  window.AddRow("Printer A", true);
  window.AddRow("Printer B", false);
  window.AddRow("Printer C", true);
  host->nPrinterObjects = 3;
  FakeOs os;
  Timeline timeline(os, message, window.bar);

  EXPECT_EQ(RunWorker(), 0) << "the chosen printers are gone";

  const std::vector<std::string> expected = {
      "sleep 1000 [Deleting printer-driver objects...] 10",
      "exec net stop spooler",
      "sleep 2000 [Deleting printer-driver objects...] 10",
      "exec net start spooler",
      "sleep 2000 [Deleting printer-driver objects...] 10",
      std::string("sleep 2000 [") + kCompleted + "] 100",
  };
  EXPECT_EQ(timeline.Events(), expected) << "no question, no driver removal";
  EXPECT_LT(TraceIndexOf("OBJECT NAME : Printer C"), TraceIndexOf("OBJECT NAME : Printer A"));
  EXPECT_EQ(TraceIndexOf("OBJECT NAME : Printer B"), -1);
  EXPECT_EQ(TraceIndexOf("DeleteForms BEGIN"), -1);
  EXPECT_EQ(os.CountOf("DeletePrinterDriverExA"), 0);
  EXPECT_FALSE(window.TakeCloseRequest());
}

TEST_F(UninstallerRemoval, NoPrinterObjectsGoesStraightToTheFullRemoval) {
  host->nPrinterObjects = 0;
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  timeline.Answer(IDNO);
  // The bar starts at 0 here: one step less than with printer objects.
  EXPECT_EQ(RunWorker(), 3010);
  ASSERT_FALSE(timeline.Events().empty());
  EXPECT_EQ(timeline.Events()[0], "sleep 1000 [Removing printer-drivers...] 10");
  EXPECT_EQ(TraceIndexOf("RemovePrinterObjects BEGIN"), -1);
  EXPECT_NE(TraceIndexOf("DeleteInstalledDirectory END"), -1);
}

TEST_F(UninstallerRemoval, OnlyOneWorkerRunsPerProcess) {
  host->nPrinterObjects = 0;
  {
    FakeOs os;
    Timeline timeline(os, message, window.bar);
    EXPECT_EQ(RunWorker(), 3010);
  }
  FakeOs os;
  EXPECT_EQ(RunWorker(), -1) << "a second start returns at once";
  EXPECT_TRUE(os.Calls().empty());
  EXPECT_FALSE(removal::StartUninstallWorker(*host));
}

// Fails the first call of every platform function the full removal makes:
// the removal still runs to its end, and the call's failure is traced.
TEST_F(UninstallerRemoval, EveryPlatformCallMayFail) {
  window.AddRow("Printer A", true);
  std::vector<std::string> names;
  // Registered as the installation leaves it, so that refused deletions count.
  auto registerModel = [this] {
    for (const std::string& environment : test::ModelEnvironments(is64)) {
      test::CreateKey(test::View64(is64), test::DriverKeyOf(environment));
      test::CreateKey(test::View64(is64), test::ProcessorKeyOf(environment));
    }
  };
  {
    registerModel();
    host->nPrinterObjects = 1;
    FakeOs os;
    Timeline timeline(os, message, window.bar);
    ASSERT_EQ(RunWorker(), 3010);
    names = test::CalledFunctions(os);
  }
  ASSERT_GT(names.size(), 20u);

  auto lines = test::SharedFailureLines();
  lines.push_back({"DeletePrinterDriverExA", "DeletePrinterDriverEx returned FALSE. (5)"});
  lines.push_back({"SHDeleteKeyA", "SHDeleteKey failed : SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\"
                                   "Windows NT x86\\Drivers\\Version-3\\NORVEKA VKP-M200 (5) "});

  // The failures after which the driver stays registered: its key is
  // deleted through RegDeleteKeyExA in the 64-bit view (looked up with
  // GetModuleHandleA and GetProcAddress), through SHDeleteKeyA otherwise.
  // Any other single failure still leaves nothing of the model: removed,
  // the restart declined.
  const std::set<std::string> leaveTheDriver = {"GetModuleHandleA", "GetProcAddress", "SHDeleteKeyA"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    InitTraceLog();
    NewHost();
    registerModel();
    host->nPrinterObjects = 1;
    FakeOs os;
    Timeline timeline(os, message, window.bar);
    timeline.Answer(IDNO);
    os.FailNth(name, 1, ERROR_ACCESS_DENIED);
    const bool driverLeft = leaveTheDriver.count(name) != 0;
    EXPECT_EQ(RunWorker(), driverLeft ? 1603 : 3010);
    EXPECT_EQ(TraceHasFragment("STILL INSTALLED : printer driver"), driverLeft);
    EXPECT_GE(os.CountOf(name), 1);
    EXPECT_TRUE(TraceHasEntry("DeleteInstalledDirectory END")) << "the removal went on to its end";
    EXPECT_EQ(test::UnreleasedHandles(os), "") << "with " << name << " failing";
    EXPECT_TRUE(test::TracesFailureOf(name, lines));
  }
}

TEST_F(UninstallerRemoval, RefusedDriverDeletionFallsBackToTheRegistry) {
  for (int forced64 : {0, 1}) {
    SCOPED_TRACE(forced64);
    InitTraceLog();
    host->bIs64Bit = forced64;
    const std::string environment = forced64 ? "Windows x64" : "Windows NT x86";
    const std::string driverKey = test::DriverKeyOf(environment);
    const std::string printerKey = std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") + test::kDriverName;
    test::CreateKey(test::View64(forced64 != 0), driverKey + "\\Dependent");
    test::CreateKey(test::View64(forced64 != 0), printerKey);
    test::SetText(test::View64(forced64 != 0), printerKey, "Printer Driver", test::kDriverName);

    FakeOs os;
    Timeline timeline(os, message, window.bar);
    os.FailNth("DeletePrinterDriverExA", 0, ERROR_ACCESS_DENIED);
    RemovalEngine engine(*host);
    EXPECT_EQ(engine.DeletePrinterDrv("VKP-M200"), 1);

    EXPECT_FALSE(test::KeyExists(test::View64(forced64 != 0), driverKey));
    EXPECT_FALSE(test::KeyExists(test::View64(forced64 != 0), printerKey));
    EXPECT_TRUE(TraceHasEntry("DeletePrinterDriverEx returned FALSE. (5)"));
    EXPECT_EQ(os.CountOf("DeletePrinterDriverExA"), forced64 ? 2 : 1);
    const auto deletions = os.CallsOf("SHDeleteKeyA");
    if (forced64) {
      EXPECT_TRUE(deletions.empty()) << "the 64-bit view is reached through RegDeleteKeyExA";
      bool openedIn64BitView = false;
      for (const auto& call : os.CallsOf("RegOpenKeyExA"))
        if (call.args.size() == 5 && call.args[1] == driverKey)
          openedIn64BitView = (std::stoul(call.args[3]) & KEY_WOW64_64KEY) != 0;
      EXPECT_TRUE(openedIn64BitView);
    } else {
      ASSERT_EQ(deletions.size(), 2u);
      EXPECT_EQ(deletions[0].args[1], driverKey);
      EXPECT_EQ(deletions[1].args[1], printerKey);
    }
    const std::vector<std::string> restart = {"sleep 100 [Deleting printer-drivers...] 0", "exec net stop spooler",
                                              "sleep 2000 [Deleting printer-drivers...] 0", "exec net start spooler",
                                              "sleep 2000 [Deleting printer-drivers...] 0"};
    EXPECT_EQ(timeline.Events(), restart);
  }
}

// An environment the model was never registered in is not a failure, and a
// printer named like the driver but of another driver is not taken.
TEST_F(UninstallerRemoval, OnlyTheEnvironmentsHoldingTheModelCount) {
  test::RegisterModelWithSpooler(is64, "VKP Test Printer", true);  // as the installation does: x64 only on 64-bit
  const std::string otherPrinter = std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") + test::kDriverName;
  test::CreateKey(test::View64(is64), otherPrinter);
  test::SetText(test::View64(is64), otherPrinter, "Printer Driver", "Generic Laser");
  EXPECT_EQ(RemoveAllDecliningTheRestart("VKP Test Printer"), 3010);
  // Wine refuses the unused-files flag where the driver is (a real refusal,
  // traced once); the environment without it says nothing.
  // The monitor was never added here (3000); the processor's failure line,
  // which carries the same label, must not appear.
  int refusals = 0;
  for (const std::string& entry : test::TraceEntries()) {
    if (entry.rfind("DeletePrinterDriverEx returned FALSE.", 0) == 0) ++refusals;
    if (entry.rfind("DeleteMonitor Error", 0) == 0) {
      EXPECT_EQ(entry, "DeleteMonitor Error : (3000)");
    }
  }
  EXPECT_EQ(refusals, 1);
  EXPECT_FALSE(TraceHasFragment("STILL INSTALLED"));
  EXPECT_TRUE(test::KeyExists(test::View64(is64), otherPrinter)) << "another driver's printer stays";
  for (const std::string& environment : test::ModelEnvironments(is64))
    EXPECT_FALSE(test::DriverListed(environment)) << environment;
}

// Nothing of ours makes the installation folder: a link in its place, or a
// folder some user owns, stays. Wine shows neither (no junctions, every
// file owned by the Unix user): the seam reports them.
TEST_F(UninstallerRemoval, AnInstallationFolderSomeUserMadeIsLeftAlone) {
  const std::string parent = test::WindowsDirectory().substr(0, 2) + "\\NORVEKA Printer Driver";
  const std::string folder = parent + "\\VKP-M200";
  RealOs().CreateDirectoryA(parent.c_str(), nullptr);
  RealOs().CreateDirectoryA(folder.c_str(), nullptr);
  test::WriteFileText(folder + "\\kept.txt", "x");
  for (const char* reason : {"a link", "not owned by the administrators or SYSTEM"}) {
    SCOPED_TRACE(reason);
    InitTraceLog();
    FakeOs os;
    if (std::string(reason) == "a link") {
      os.Replace<&PlatformApi::GetFileInformationByHandle>([](HANDLE handle, LPBY_HANDLE_FILE_INFORMATION info) {
        const BOOL real = RealOs().GetFileInformationByHandle(handle, info);
        if (real && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) info->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        return real;
      });
    } else {
      os.Replace<&PlatformApi::EqualSid>([](PSID, PSID) -> BOOL { return FALSE; });
    }
    RemovalEngine(*host).DeleteInstalledDirectory();
    EXPECT_TRUE(test::FileExists(folder + "\\kept.txt"));
    EXPECT_TRUE(TraceHasEntry("DIRECTORY LEFT ALONE : " + folder + " (" + reason + ")"));
    EXPECT_EQ(os.CountOf("DeleteFileA"), 0);
  }
  RealOs().DeleteFileA((folder + "\\kept.txt").c_str());
  RealOs().RemoveDirectoryA(folder.c_str());
  RealOs().RemoveDirectoryA(parent.c_str());
}

// Between the owner check and the deletion, whoever could rename the folder
// would put one of theirs in its place: the checked folder stays pinned.
TEST_F(UninstallerRemoval, TheCheckedInstallationFolderCannotBeSwapped) {
  const std::string parent = test::WindowsDirectory().substr(0, 2) + "\\NORVEKA Printer Driver";
  const std::string folder = parent + "\\VKP-M200";
  RealOs().CreateDirectoryA(parent.c_str(), nullptr);
  RealOs().CreateDirectoryA(folder.c_str(), nullptr);
  BOOL renamed = FALSE;
  DWORD renameError = 0;
  FakeOs os;
  os.Replace<&PlatformApi::GetSecurityInfo>([&](HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION which,
                                                PSID* owner, PSID* group, PACL* dacl, PACL* sacl,
                                                PSECURITY_DESCRIPTOR* descriptor) -> DWORD {
    renamed = RealOs().MoveFileA(folder.c_str(), (parent + "\\Moved").c_str());
    renameError = ::GetLastError();
    return RealOs().GetSecurityInfo(handle, type, which, owner, group, dacl, sacl, descriptor);
  });
  RemovalEngine(*host).DeleteInstalledDirectory();
  EXPECT_FALSE(renamed);
  EXPECT_EQ(renameError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(TraceHasEntry("DIRECTORY : " + folder));
  EXPECT_FALSE(test::FileExists(parent));
  RealOs().RemoveDirectoryA((parent + "\\Moved").c_str());
  RealOs().RemoveDirectoryA(parent.c_str());
}

TEST_F(UninstallerRemoval, MonitorDeletionRetriesOnceWhenTheSpoolerIsDown) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.FailNth("DeleteMonitorA", 1, RPC_S_SERVER_UNAVAILABLE);
  os.Replace<&PlatformApi::DeleteMonitorA>([](LPSTR, LPSTR, LPSTR) -> BOOL { return TRUE; });
  RemovalEngine(*host).DeleteLanguageMonitor();

  EXPECT_EQ(os.CountOf("DeleteMonitorA"), 2);
  const std::vector<std::string> expected = {"sleep 100 [Deleting L/M...] 0", "exec net start spooler",
                                             "sleep 2000 [Deleting L/M...] 0"};
  EXPECT_EQ(timeline.Events(), expected);
  EXPECT_FALSE(TraceHasFragment("DeleteMonitor Error"));
  EXPECT_FALSE(TraceHasFragment("still installed"));
  EXPECT_EQ(os.CountOf("DeleteFileA"), is64 ? 4 : 1) << "the DLL in every directory of the system";
}

TEST_F(UninstallerRemoval, UnknownMonitorIsTracedAndItsKeyAndDllsStillGo) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.FailNth("DeleteMonitorA", 0, ERROR_UNKNOWN_PRINT_MONITOR);
  RemovalEngine(*host).DeleteLanguageMonitor();

  const int error = TraceIndexOf("DeleteMonitor Error : (3000)");
  ASSERT_NE(error, -1);
  EXPECT_EQ(TraceIndexOf("The specified print monitor is unknown or not installed on this system."), error + 1);
  EXPECT_EQ(os.CountOf("DeleteMonitorA"), 1) << "only 1722 is retried";
  EXPECT_TRUE(TraceHasFragment(std::string(is64 ? "MyRegDeleteKeyEx failed : " : "SHDeleteKey failed : ") +
                               "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + test::kMonitorName));
  const auto files = os.CallsOf("DeleteFileA");
  ASSERT_EQ(files.size(), is64 ? 4u : 1u);
  char system[MAX_PATH] = "";
  RealOs().GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(files[0].args[0], std::string(system) + "\\VKMON200.dll");
  if (is64) {
    EXPECT_EQ(files[2].args[0], test::WindowsDirectory() + "\\VKMON200.dll");
    EXPECT_EQ(files[3].args[0], test::WindowsDirectory() + "\\Sysnative\\VKMON200.dll")
        << "the native system directory, where a 64-bit monitor lives";
  }
}

TEST_F(UninstallerRemoval, MonitorStillRegisteredAfterASuccessfulDeletionLosesItsKey) {
  const std::string key = std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\") + test::kMonitorName;
  test::CreateKey(test::View64(is64), key);
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.Replace<&PlatformApi::DeleteMonitorA>([](LPSTR, LPSTR, LPSTR) -> BOOL { return TRUE; });
  RemovalEngine(*host).DeleteLanguageMonitor();
  EXPECT_TRUE(TraceHasEntry(std::string("DeleteMonitor succeeded but the monitor is still installed : ") +
                            test::kMonitorName));
  EXPECT_FALSE(TraceHasFragment("DeleteMonitor Error"));
  EXPECT_FALSE(test::KeyExists(test::View64(is64), key));
}

// Wine's DeletePrintProcessorA reports success and removes nothing.
TEST_F(UninstallerRemoval, ProcessorLeftBehindBySpoolerIsTakenOutOfTheRegistry) {
  for (const std::string& environment : test::ModelEnvironments(is64)) {
    std::string env = environment;
    char dll[] = "VKPRO200.dll";
    char name[] = "ZEM PRINT PROCESSOR VKP-M200";
    ASSERT_TRUE(RealOs().AddPrintProcessorA(nullptr, env.data(), dll, name));
  }
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  RemovalEngine(*host).DeleteProcessor();

  EXPECT_EQ(os.CountOf("DeletePrintProcessorA"), is64 ? 2 : 1);
  EXPECT_TRUE(TraceHasEntry(std::string("DeletePrintProcessor succeeded but the processor is still installed : ") +
                            test::kProcessorName));
  for (const std::string& environment : test::ModelEnvironments(is64))
    EXPECT_FALSE(test::KeyExists(test::View64(is64), test::ProcessorKeyOf(environment))) << environment;
  EXPECT_EQ(os.CountOf("GetPrintProcessorDirectoryA"), is64 ? 2 : 1);
}

TEST_F(UninstallerRemoval, QueuedJobsGetDeleteCommandsBeforeThePrinterGoes) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  HANDLE fakePrinter = reinterpret_cast<HANDLE>(0x5150);
  os.Replace<&PlatformApi::OpenPrinterA>([fakePrinter](LPSTR, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults) -> BOOL {
    EXPECT_EQ(defaults->DesiredAccess, static_cast<ACCESS_MASK>(PRINTER_ALL_ACCESS));
    EXPECT_STREQ(defaults->pDatatype, "raw");
    *handle = fakePrinter;
    return TRUE;
  });
  os.Replace<&PlatformApi::EnumJobsA>(
      [](HANDLE, DWORD first, DWORD most, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
         LPDWORD returned) -> BOOL {
        EXPECT_EQ(first, 0u);
        EXPECT_EQ(most, 1000u);
        EXPECT_EQ(level, 3u);
        *returned = 0;
        return test::AnswerEnumeration<JOB_INFO_3>({{41, 42, 0}, {42, 0, 0}}, buffer, size, needed, returned);
      });
  os.Replace<&PlatformApi::SetJobA>([](HANDLE, DWORD, DWORD, LPBYTE, DWORD) -> BOOL { return TRUE; });
  os.Replace<&PlatformApi::DeletePrinter>([](HANDLE) -> BOOL { return TRUE; });
  os.Replace<&PlatformApi::ClosePrinter>([](HANDLE) -> BOOL { return TRUE; });

  RemovalEngine(*host).DeletePrinterObject("Printer A");

  const auto jobs = os.CallsOf("SetJobA");
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].args[1], "41");
  EXPECT_EQ(jobs[1].args[1], "42");
  for (const auto& job : jobs) {
    EXPECT_EQ(job.args[2], "0");
    EXPECT_EQ(job.args[4], std::to_string(JOB_CONTROL_DELETE));
  }
  EXPECT_EQ(timeline.Events(), std::vector<std::string>{"sleep 1000 [] 0"});
  std::vector<std::string> order;
  for (const std::string& name : os.CallNames())
    if (name == "SetJobA" || name == "DeletePrinter" || name == "ClosePrinter") order.push_back(name);
  EXPECT_EQ(order, (std::vector<std::string>{"SetJobA", "SetJobA", "DeletePrinter", "ClosePrinter"}));
}

TEST_F(UninstallerRemoval, OnlyFormsCarryingTheModelTagAreDeleted) {
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  os.Replace<&PlatformApi::EnumFormsA>(
      [](HANDLE, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) -> BOOL {
        EXPECT_EQ(level, 1u);
        std::vector<FORM_INFO_1A> forms;
        for (const char* name : {"Letter", "Roll 80mm [M200]", "[M200] Label", "Roll [m200]"}) {
          forms.push_back(FORM_INFO_1A{});
          forms.back().pName = const_cast<char*>(name);
        }
        return test::AnswerEnumeration(forms, buffer, size, needed, returned);
      });
  os.Replace<&PlatformApi::DeleteFormA>([](HANDLE, LPSTR) -> BOOL { return TRUE; });

  RemovalEngine(*host).DeleteForms();

  const auto deleted = os.CallsOf("DeleteFormA");
  ASSERT_EQ(deleted.size(), 2u);
  EXPECT_TRUE(TraceHasEntry("FORM NAMES : Roll 80mm [M200] "));
  EXPECT_TRUE(TraceHasEntry("FORM NAMES : [M200] Label "));
  EXPECT_FALSE(TraceHasFragment("FORM NAMES : Letter"));
  EXPECT_FALSE(TraceHasFragment("FORM NAMES : Roll [m200]"));
  EXPECT_EQ(timeline.Events(), std::vector<std::string>{"sleep 100 [Deleting forms...] 0"});
}

std::vector<std::string> gUninstalledInfs;
BOOL WINAPI RefuseOemUninstall(PCSTR name, DWORD flags, PVOID) {
  gUninstalledInfs.push_back(std::string(name) + "/" + std::to_string(flags));
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

class InfStore : public UninstallerRemoval {
 protected:
  std::string Inf(const std::string& name) { return test::WindowsDirectory() + "\\inf\\" + name; }
  void WriteModelInf(const std::string& name, const std::string& section) {
    test::WriteFileText(Inf(name), "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n[Manufacturer]\r\n"
                                   "\"NORVEKA\"=NORVEKA,NTamd64\r\n\r\n[" + section +
                                       "]\r\n\"NORVEKA VKP-M200\" = VKPM200,norveka_vkp_m2007c1e\r\n");
    test::WriteFileText(Inf(name.substr(0, name.size() - 4) + ".PNF"), "precompiled");
  }
  // Neither the INF nor its precompiled file is left.
  void ExpectInfGone(const std::string& name) {
    EXPECT_FALSE(test::FileExists(Inf(name + ".inf"))) << name;
    EXPECT_FALSE(test::FileExists(Inf(name + ".PNF"))) << name;
  }
};

TEST_F(InfStore, VistaAndLaterUninstallEveryOemInfOfTheModel) {
  host->nOSVersion = 2010;
  const std::string section = is64 ? "NORVEKA.NTamd64" : "NORVEKA";
  WriteModelInf("oem91.inf", section);
  WriteModelInf("oem92.inf", section);
  test::WriteFileText(Inf("oem93.inf"), "[Version]\r\nSignature=\"$Windows NT$\"\r\n\r\n[Other]\r\nx=y\r\n");
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  RemovalEngine(*host).DeleteINFFile();

  for (const char* name : {"oem91", "oem92"}) ExpectInfGone(name);
  EXPECT_TRUE(test::FileExists(Inf("oem93.inf")));
  EXPECT_EQ(os.CountOf("SetupGetInfFileListW"), 2);
  EXPECT_FALSE(TraceHasEntry("The key name was not found."));
  EXPECT_TRUE(TraceHasEntry("KEY NAME : NORVEKA VKP-M200"));
}

TEST_F(InfStore, FailedOemUninstallIsTracedWithTheInfName) {
  host->nOSVersion = 2010;
  WriteModelInf("oem91.inf", is64 ? "NORVEKA.NTamd64" : "NORVEKA");
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  gUninstalledInfs.clear();
  os.Replace<&PlatformApi::GetProcAddress>([](HMODULE module, LPCSTR name) -> FARPROC {
    if (std::string(name) == "SetupUninstallOEMInfA")
      return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RefuseOemUninstall));
    return RealOs().GetProcAddress(module, name);
  });
  RemovalEngine(*host).DeleteINFFile();
  EXPECT_EQ(gUninstalledInfs, std::vector<std::string>{"oem91.inf/1"});
  EXPECT_TRUE(TraceHasEntry("fnSetupUninstallOEMInf failed, oem91.inf, 5"));
  EXPECT_TRUE(test::FileExists(Inf("oem91.PNF"))) << "the precompiled file goes only with its INF";
}

TEST_F(InfStore, BeforeVistaBothInfsAndTheirPnfsAreDeleted) {
  host->bIs64Bit = 0;
  host->nOSVersion = 2005;
  WriteModelInf("oem91.inf", "NORVEKA");
  WriteModelInf("oem92.inf", "NORVEKA");
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  RemovalEngine(*host).DeleteINFFile();
  for (const char* name : {"oem91", "oem92"}) {
    ExpectInfGone(name);
    EXPECT_TRUE(TraceHasEntry("'" + Inf(std::string(name) + ".inf") + "' has been deleted successfully."));
  }
  EXPECT_EQ(os.CountOf("GetProcAddress"), 0);
}

TEST_F(InfStore, On64BitSystemsAPlainSectionIsNotTheModels) {
  host->bIs64Bit = 1;
  WriteModelInf("oem91.inf", "NORVEKA");
  FakeOs os;
  Timeline timeline(os, message, window.bar);
  RemovalEngine(*host).DeleteINFFile();
  EXPECT_TRUE(test::FileExists(Inf("oem91.inf")));
  EXPECT_TRUE(TraceHasEntry("SECTION NAME : NORVEKA.NTamd64"));
  EXPECT_TRUE(TraceHasEntry("The key name was not found."));
}

// Against Wine's own spooler: a printer of the model with its driver and
// print processor registered, the uninstall entry, driver files, the
// hardware-id folder and the installation directory; all gone afterwards.
TEST_F(UninstallerRemoval, FullRemovalAgainstTheSpooler) {
  test::RegisterModelWithSpooler(is64, "VKP Test Printer");
  ASSERT_EQ(test::PrintersOfModel(), std::vector<std::string>{"VKP Test Printer"});
  const std::string uninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200";
  test::CreateKey(test::View64(is64), uninstallKey);
  const std::string drive = test::WindowsDirectory().substr(0, 2);
  const std::string installDir = drive + "\\NORVEKA Printer Driver";
  RealOs().CreateDirectoryA(installDir.c_str(), nullptr);
  RealOs().CreateDirectoryA((installDir + "\\VKP-M200").c_str(), nullptr);
  test::WriteFileText(installDir + "\\VKP-M200\\VKPM200_Uninstaller.exe", "x");
  // The installer's checked copy of the package, left by a cut run.
  const std::string staged = test::WindowsDirectory() + "\\VKP-M200_Package";
  RealOs().CreateDirectoryA(staged.c_str(), nullptr);
  RealOs().CreateDirectoryA((staged + "\\Driver32").c_str(), nullptr);
  test::WriteFileText(staged + "\\Driver32\\VKMON200.dll", "monitor");
  std::vector<std::string> driverDirs;
  for (const std::string& environment : test::ModelEnvironments(is64)) {
    std::string env = environment;
    char dir[MAX_PATH] = "";
    DWORD needed = 0;
    ASSERT_TRUE(RealOs().GetPrinterDriverDirectoryA(nullptr, env.data(), 1, reinterpret_cast<BYTE*>(dir), MAX_PATH,
                                                    &needed));
    driverDirs.push_back(dir);
    RealOs().CreateDirectoryA((std::string(dir) + "\\3").c_str(), nullptr);
    test::WriteFileText(std::string(dir) + "\\3\\VKP200.GPD", "gpd");
    RealOs().CreateDirectoryA((std::string(dir) + "\\norveka_vkp_m2007c1e").c_str(), nullptr);
    test::WriteFileText(std::string(dir) + "\\norveka_vkp_m2007c1e\\VKP200.dll", "dll");
  }

  EXPECT_EQ(RemoveAllDecliningTheRestart("VKP Test Printer"), 3010);

  test::ExpectModelGoneFromSpooler(is64);
  for (const std::string& dir : driverDirs) {
    EXPECT_FALSE(test::FileExists(dir + "\\3\\VKP200.GPD")) << dir;
    EXPECT_FALSE(test::FileExists(dir + "\\norveka_vkp_m2007c1e")) << dir;
  }
  EXPECT_FALSE(test::KeyExists(test::View64(is64), uninstallKey));
  EXPECT_FALSE(test::FileExists(installDir));
  EXPECT_TRUE(TraceHasEntry("DIRECTORY : " + installDir + "\\VKP-M200"));
  EXPECT_FALSE(test::FileExists(staged));
  EXPECT_TRUE(TraceHasEntry("DIRECTORY : " + staged));
  EXPECT_TRUE(TraceHasEntry("OBJECT NAME : VKP Test Printer"));
}

}  // namespace
}  // namespace vkp
