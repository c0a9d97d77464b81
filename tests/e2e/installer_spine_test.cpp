// The installer's start-up, progress dialog and refusal of an unsupported
// system, driven from outside through the robot in isolated prefixes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/e2e/ProgramIds.h"
#include "tests/e2e/Robot.h"

namespace {
using namespace vkp::e2e;

constexpr const char* kRefusal = "THE DRIVER CAN NOT BE INSTALLED ON THIS OS.";
// A refused installation is a failed one for deployment tools.
constexpr unsigned long kExitRefused = 1603;

struct Fixture {
  std::unique_ptr<WinePrefix> prefix;
  std::unique_ptr<vkp::e2e::Robot> robot;
};

// A prefix with the robot and the staged installer; asserts via the caller.
Fixture Prepare(const std::string& arch, const std::string& winver) {
  Fixture f;
  f.prefix = std::make_unique<WinePrefix>(PrefixOptions{arch, winver, {}});
  if (!f.prefix->Ok()) {
    ADD_FAILURE() << f.prefix->Error();
    return f;
  }
  f.robot = std::make_unique<vkp::e2e::Robot>(*f.prefix);
  EXPECT_TRUE(f.robot->Ok());
  EXPECT_TRUE(StageInstaller(*f.prefix)) << "no installer at " << Config::Get().InstallerExe();
  return f;
}

std::vector<std::string> TraceEntries(const std::string& text) {
  std::vector<std::string> out = Split(text, "\r\n");
  if (out.back().empty()) out.pop_back();  // after the last line's end
  return out;
}

bool HasEntry(const std::vector<std::string>& entries, const std::string& body) {
  static const std::regex stamp("^[0-9]{2}:[0-9]{2}:[0-9]{2}: ");
  for (const std::string& e : entries)
    if (std::regex_search(e, stamp) && e.size() == 10 + body.size() && e.compare(10, body.size(), body) == 0)
      return true;
  return false;
}

void ExpectProgressDialog(const vkp::e2e::Robot& robot) {
  EXPECT_EQ(robot.WaitControlText(kProgressTitle, kTitleText, "NORVEKA VKP-M200", 5000), "NORVEKA VKP-M200");
  EXPECT_EQ(robot.WaitControlText(kProgressTitle, kVersionText, "Driver Version: V2.0.2", 5000),
            "Driver Version: V2.0.2");
  const std::optional<Control> bar = robot.FindControl(kProgressTitle, kProgressBar);
  ASSERT_TRUE(bar.has_value());
  EXPECT_EQ(bar->className, "msctls_progress32");
  EXPECT_TRUE(bar->visible);
}

void RefusesOldSystem(const std::string& arch) {
  Fixture f = Prepare(arch, "nt40");
  ASSERT_TRUE(f.robot);
  InstallerRun run(*f.prefix, "first");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(f.robot->WaitWindow(kProgressTitle, 20000, true));
  ExpectProgressDialog(*f.robot);
  EXPECT_FALSE(run.ExitCode().has_value()) << "ended before the refusal was answered";
  EXPECT_EQ(f.robot->Answer(kInstallerCaption, kIdOk, 15000), std::optional<std::string>(kRefusal));
  EXPECT_EQ(run.WaitExit(15000), std::optional<unsigned long>(kExitRefused));

  const std::optional<std::string> trace = f.prefix->ReadFile(kInstallerTraceWin);
  ASSERT_TRUE(trace.has_value()) << f.prefix->Path(kInstallerTraceWin);
  const std::vector<std::string> entries = TraceEntries(*trace);
  const bool wow = arch == "win64";
  EXPECT_TRUE(HasEntry(entries, "SetSystemInfo BEGIN")) << *trace;
  // The driver folder by its full path in the installer's folder.
  EXPECT_TRUE(HasEntry(entries, wow ? "ENV : Windows x64, DRV DIR : C:\\VKPM200\\Driver64\\ "
                                    : "ENV : Windows NT x86, DRV DIR : C:\\VKPM200\\Driver32\\ "))
      << *trace;
  EXPECT_TRUE(HasEntry(entries, "CheckOS BEGIN")) << *trace;
  EXPECT_TRUE(HasEntry(entries, "osvi.dwMajorVersion : 4")) << *trace;
  EXPECT_TRUE(HasEntry(entries, wow ? "The process is running under WOW64."
                                    : "The process is not running under WOW64."))
      << *trace;
}

TEST(InstallerSpine, RefusesNt40In64BitPrefix) { RefusesOldSystem("win64"); }

TEST(InstallerSpine, RefusesNt40In32BitPrefix) { RefusesOldSystem("win32"); }

TEST(InstallerSpine, Win10RunShowsThePortDialogAfterInitialisation) {
  Fixture f = Prepare("win64", "win10");
  ASSERT_TRUE(f.robot);
  InstallerRun run(*f.prefix, "win10");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(f.robot->WaitWindow(kPortTitle, 30000, true));
  // Initialisation waits 2000 ms for the spooler before the worker starts.
  EXPECT_GE(NowMs() - run.StartedAtMs(), 2000);
  ExpectProgressDialog(*f.robot);
  EXPECT_EQ(f.robot->SysmenuHasClose(kProgressTitle), std::optional<bool>(false))
      << "Close is gone from the progress dialog while the worker is busy";
  const std::optional<std::string> trace = f.prefix->ReadFile(kInstallerTraceWin);
  ASSERT_TRUE(trace.has_value());
  EXPECT_TRUE(HasEntry(TraceEntries(*trace), "SetSystemInfo BEGIN")) << *trace;
  EXPECT_TRUE(HasEntry(TraceEntries(*trace), "CheckOS BEGIN")) << *trace;
  EXPECT_TRUE(f.robot->Do({"close", kPortTitle}).ok());
  EXPECT_TRUE(f.robot->Answer(kInstallerCaption, kIdOk, 15000).has_value());
  EXPECT_EQ(run.WaitExit(15000), std::optional<unsigned long>(1602));
}

TEST(InstallerSingleInstance, SecondStartActivatesTheFirstsMessageBox) {
  Fixture f = Prepare("win64", "nt40");
  ASSERT_TRUE(f.robot);
  ASSERT_TRUE(f.prefix->CopyIn(Config::Get().SampleExe(), "C:\\vkp-sample\\vkp_robot_sample.exe"));
  InstallerRun first(*f.prefix, "first");
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(f.robot->WaitWindow(kInstallerCaption, 20000, true));
  // Something else in front, so that activation has something to undo.
  ProgramRun other(*f.prefix, "C:\\vkp-sample\\vkp_robot_sample.exe", "C:\\vkp-sample", "other");
  ASSERT_TRUE(other.Start());
  ASSERT_TRUE(f.robot->WaitWindow("VKP Robot Sample", 15000, true));
  ASSERT_EQ(f.robot->Foreground(), std::optional<std::string>("VKP Robot Sample"));

  InstallerRun second(*f.prefix, "second");
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.WaitExit(10000), std::optional<unsigned long>(1618));
  EXPECT_LT(NowMs() - second.StartedAtMs(), MachineMs(10000));
  EXPECT_EQ(f.robot->Foreground(), std::optional<std::string>(kInstallerCaption));
  EXPECT_FALSE(first.ExitCode().has_value());

  EXPECT_EQ(f.robot->Answer(kInstallerCaption, kIdOk, 5000), std::optional<std::string>(kRefusal));
  EXPECT_EQ(first.WaitExit(15000), std::optional<unsigned long>(kExitRefused));
  EXPECT_TRUE(f.robot->Do({"close", "VKP Robot Sample"}).ok());
  EXPECT_EQ(other.WaitExit(10000), std::optional<unsigned long>(2));
}

TEST(InstallerSingleInstance, TwentySimultaneousStartsLeaveOne) {
  Fixture f = Prepare("win64", "nt40");
  ASSERT_TRUE(f.robot);
  constexpr int kStarts = 20;
  std::vector<std::unique_ptr<InstallerRun>> runs;
  for (int i = 0; i < kStarts; ++i) {
    runs.push_back(std::make_unique<InstallerRun>(*f.prefix, "n" + std::to_string(i)));
    ASSERT_TRUE(runs.back()->Start());
  }
  // The starts' ends so far ("i=code", "i running"): what went wrong when no box shows.
  const auto ends = [&runs] {
    std::ostringstream out;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const std::optional<unsigned long> code = runs[i]->ExitCode();
      out << i << (code ? "=" + std::to_string(*code) : std::string(" running")) << " ";
    }
    return out.str();
  };
  ASSERT_TRUE(f.robot->WaitWindow(kInstallerCaption, 60000, true))
      << ends() << "\n"
      << f.prefix->ReadFile(kInstallerTraceWin).value_or("(no trace)");
  // All but one end on their own; allow for twenty Wine starts on a small machine.
  const long long deadline = DeadlineAfter(60000);
  int ended = 0;
  while (NowMs() < deadline) {
    ended = 0;
    for (const auto& r : runs) ended += r->ExitCode().has_value() ? 1 : 0;
    if (ended >= kStarts - 1) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::this_thread::sleep_for(std::chrono::seconds(2));
  int remaining = -1;
  std::ostringstream codes;
  for (int i = 0; i < kStarts; ++i) {
    const std::optional<unsigned long> code = runs[static_cast<size_t>(i)]->ExitCode();
    if (code) {
      EXPECT_EQ(*code, 1618u) << "start " << i << ": another copy is running";
      codes << i << "=" << *code << " ";
    } else {
      EXPECT_EQ(remaining, -1) << "more than one installer still running: " << remaining << " and " << i;
      remaining = i;
    }
  }
  ASSERT_NE(remaining, -1) << "no installer stayed: " << codes.str();
  EXPECT_EQ(f.robot->Answer(kInstallerCaption, kIdOk, 5000), std::optional<std::string>(kRefusal));
  EXPECT_EQ(runs[static_cast<size_t>(remaining)]->WaitExit(15000), std::optional<unsigned long>(kExitRefused));
}

}  // namespace
