// The interruption bench. A run of the installer or the uninstaller is ended
// as a kill ends it, just after one of its calls that change the machine (the
// interruptible builds, tests/interruption); then the installer runs again,
// silently from its configuration file, and the uninstaller removes
// everything. Both must end with success codes and the residue check must
// find nothing of the model. Every other point of a run leaves the same
// machine as the change before it, so these points cover every state a kill
// can leave.
//   VKP_INTERRUPTION_POINTS=all   every such point (scripts/bench)
//   VKP_INTERRUPTION_POINTS=N     N points spread evenly over the run (default 2)
//   VKP_INTERRUPTION_POINTS=at:P,Q,...  the points a sweep named ("interrupted
//                                 before call P"), to look at them again
//   VKP_INTERRUPTION_POINTS=from:P  every point from P on: a sweep cut short
//                                 goes on where it stopped
//   VKP_INTERRUPTION_SHARD=K/N    of those, every N-th from the K-th (0 to N-1),
//                                 so that N processes share a sweep
// Each test prints "interruption points tried / recovered: T / R (...)".
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/Residue.h"

namespace {
using namespace vkp::e2e;

constexpr unsigned long kInterrupted = 1067;  // the interruptible builds' TerminateProcess code
constexpr const char* kCutDirWin = "C:\\vkp-cut";
constexpr const char* kCutInstallerWin = "C:\\vkp-cut\\VKPM200_Installer.exe";
constexpr const char* kCutUninstallerWin = "C:\\vkp-cut\\uninstaller\\VKPM200_Uninstaller.exe";
constexpr const char* kCallsWin = "C:\\vkp-e2e\\calls.txt";
constexpr int kRunTimeoutMs = 300000;

// The calls that changed the machine, as the interruptible builds list them
// ("k Name"), and the line an interrupted run leaves last.
std::vector<long> ReadChanges(const std::string& text) {
  std::vector<long> calls;
  std::istringstream in(text);
  long index = 0;
  for (std::string line; std::getline(in, line);)
    if (std::istringstream(line) >> index) calls.push_back(index);
  return calls;
}

// A call number as a sweep prints it; 0 (refused by the sweep) for anything else.
long CallNumber(const std::string& text) {
  char* end = nullptr;
  const long call = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0' && call > 0 ? call : 0;
}

// The points to try: just after each change, all or an even sample.
std::vector<long> ChoosePoints(const std::vector<long>& changes) {
  std::vector<long> all;
  for (const long call : changes) all.push_back(call + 1);
  const char* wanted = std::getenv("VKP_INTERRUPTION_POINTS");
  if (wanted != nullptr && std::string(wanted) == "all") return all;
  if (wanted != nullptr && std::string(wanted).rfind("at:", 0) == 0) {
    std::vector<long> named;
    std::istringstream in(wanted + 3);
    for (std::string point; std::getline(in, point, ',');) named.push_back(CallNumber(point));
    return named;
  }
  if (wanted != nullptr && std::string(wanted).rfind("from:", 0) == 0) {
    const long first = CallNumber(wanted + 5);
    if (first == 0) return {0};
    std::vector<long> rest;
    for (const long point : all)
      if (point >= first) rest.push_back(point);
    return rest;
  }
  const std::size_t count = wanted != nullptr ? std::strtoul(wanted, nullptr, 10) : 2;
  if (count == 0 || all.size() <= count) return count == 0 ? std::vector<long>{} : all;
  std::vector<long> sample;
  for (std::size_t i = 0; i < count; ++i) sample.push_back(all[(i + 1) * all.size() / (count + 1)]);
  return sample;
}

// This process's share of the points (VKP_INTERRUPTION_SHARD=K/N; all of
// them when unset). A malformed value is refused before anything runs.
struct Shard {
  std::size_t index = 0, count = 1;
  bool valid = true;
};
Shard ChosenShard() {
  Shard shard;
  const char* wanted = std::getenv("VKP_INTERRUPTION_SHARD");
  if (wanted == nullptr || *wanted == '\0') return shard;
  char slash = 0;
  std::istringstream in(wanted);
  shard.valid = (in >> shard.index >> slash >> shard.count) && in.peek() == EOF && slash == '/' && shard.count > 0 &&
                shard.index < shard.count;
  return shard;
}
std::vector<long> ShardOf(const std::vector<long>& points, const Shard& shard) {
  std::vector<long> mine;
  for (std::size_t i = shard.index; i < points.size(); i += shard.count) mine.push_back(points[i]);
  return mine;
}

struct SweepCase {
  std::string arch, winver, config, label;
  bool uninstaller = false;  // interrupt the uninstaller instead of the installer
};

class Bench {
 public:
  explicit Bench(InstallerSession& s) : s_(s) {}

  // The interruptible installer's folder: the installer's folder with the
  // interruptible build in place of the installer; the uninstaller beside it.
  bool Stage() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::copy(s_.Prefix().Path(kInstallerDirWin), s_.Prefix().Path(kCutDirWin), fs::copy_options::recursive, error);
    const std::string built = Config::Get().buildDir + "/tests/interruption/";
    return !error && s_.Prefix().CopyIn(built + "installer/VKPM200_Installer.exe", kCutInstallerWin) &&
           s_.Prefix().CopyIn(built + "uninstaller/VKPM200_Uninstaller.exe", kCutUninstallerWin);
  }

  // Runs one program quietly to its end; at > 0 ends it just before that call.
  std::optional<unsigned long> Run(bool uninstaller, const std::string& tag, long at = 0, bool log = false) {
    ::setenv("VKP_INTERRUPT_AT", std::to_string(at).c_str(), 1);
    if (log) {
      std::filesystem::remove(s_.Prefix().Path(kCallsWin));
      ::setenv("VKP_INTERRUPT_LOG", kCallsWin, 1);
    }
    ProgramRun run(s_.Prefix(), uninstaller ? kCutUninstallerWin : kCutInstallerWin,
                   uninstaller ? "C:\\windows\\system32" : kCutDirWin, tag, {"/quiet", "/norestart"});
    const bool started = run.Start();
    ::unsetenv("VKP_INTERRUPT_AT");
    ::unsetenv("VKP_INTERRUPT_LOG");
    if (!started) return std::nullopt;
    return run.WaitExit(kRunTimeoutMs);
  }

  std::string Calls() const { return s_.Prefix().ReadFile(kCallsWin).value_or(""); }

 private:
  InstallerSession& s_;
};

bool Succeeded(std::optional<unsigned long> code) { return code == 0ul || code == 3010ul; }

void Sweep(const SweepCase& c) {
  const Shard shard = ChosenShard();
  ASSERT_TRUE(shard.valid) << "VKP_INTERRUPTION_SHARD is K/N with 0 <= K < N";
  InstallerSession s(c.arch, c.winver, c.config);
  ASSERT_TRUE(s.Ok());
  Bench bench(s);
  ASSERT_TRUE(bench.Stage());
  const Snapshot clean = TakeSnapshot(s);

  // The whole run once, every call logged: the points to try.
  if (c.uninstaller) {
    ASSERT_TRUE(Succeeded(bench.Run(false, "setup")));
  }
  ASSERT_TRUE(Succeeded(bench.Run(c.uninstaller, "recorded", 0, true))) << s.Trace();
  const std::vector<long> points = ShardOf(ChoosePoints(ReadChanges(bench.Calls())), shard);
  for (const long at : points)
    ASSERT_GT(at, 0) << "VKP_INTERRUPTION_POINTS=at: and from: take call numbers, as a sweep prints them";
  if (!c.uninstaller) {
    ASSERT_TRUE(Succeeded(s.StartUninstaller("clean", true).WaitExit(kRunTimeoutMs)));
  }
  ASSERT_TRUE(Unexplained(clean, TakeSnapshot(s)).empty()) << "the uninterrupted run leaves residue";

  int recovered = 0;
  for (const long at : points) {
    const std::string point = std::to_string(at);
    if (c.uninstaller) {
      ASSERT_TRUE(Succeeded(bench.Run(false, "setup-" + point)));
    }
    EXPECT_EQ(bench.Run(c.uninstaller, "cut-" + point, at, true), std::optional<unsigned long>(kInterrupted))
        << "the run ended before reaching call " << at;
    std::string where = bench.Calls();  // its last line: "interrupted before k Name"
    if (!where.empty() && where.back() == '\n') where.pop_back();
    where = where.substr(where.find_last_of('\n') == std::string::npos ? 0 : where.find_last_of('\n') + 1);
    std::optional<unsigned long> again, removed;
    bool complete = true;  // after the installer's second run: the entry and the uninstaller it names
    if (c.uninstaller) {
      removed = bench.Run(true, "remove-" + point);
    } else {
      // Windows' spooler has the driver write its version into a new
      // printer's data as the printer is made; Wine's never calls the
      // driver for it. A printer the cut run made carries it here too.
      if (s.RegKeyExists(std::string(kPrintersKey) + "\\" + kModel)) {
        EXPECT_TRUE(s.SetPrinterVersion(kModel, kThisVersion));
      }
      again = bench.Run(false, "again-" + point);
      complete = s.RegKeyExists(kUninstallKey) && s.FileExists(kUninstallerWin);
      // As a deployment tool removes it: the entry's quiet uninstall (the
      // interruptible uninstaller only tidies up for the next point).
      removed = complete ? s.StartUninstaller("remove-" + point, true).WaitExit(kRunTimeoutMs)
                         : bench.Run(true, "remove-" + point);
    }
    const std::vector<std::string> left = Unexplained(clean, TakeSnapshot(s));
    const bool ok = (c.uninstaller || Succeeded(again)) && complete && Succeeded(removed) && left.empty();
    recovered += ok ? 1 : 0;
    std::printf("interrupted before call %ld (%s): installer again %s%s, uninstaller %s, %s\n", at,
                where.c_str(), again ? std::to_string(*again).c_str() : "-", complete ? "" : " (no uninstall entry)",
                removed ? std::to_string(*removed).c_str() : "none", left.empty() ? "nothing left" : "residue");
    std::fflush(stdout);  // a sweep cut short still tells which points ran
    EXPECT_TRUE(ok) << where << "\n"
                    << ::testing::PrintToString(left) << "\n"
                    << s.Trace();
  }
  std::printf("interruption points tried / recovered: %zu / %d (%s%s)\n", points.size(), recovered, c.label.c_str(),
              shard.count == 1 ? ""
                               : ("; shard " + std::to_string(shard.index) + "/" + std::to_string(shard.count)).c_str());
}

const char kUsbConfig[] = "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=USB\r\n";
const char kCom1Config[] = "[VKPM200]\r\nPORTDLG=FALSE\r\nPORT=COM1\r\n";

TEST(Interruption, InstallerPrintUiWin10x64Usb) {
  Sweep({"win64", "win10", kUsbConfig, "installer, printui path, 64-bit Windows 10, USB"});
}
TEST(Interruption, InstallerDirectXp32Com1) {
  Sweep({"win32", "winxp", kCom1Config, "installer, direct path, 32-bit XP, COM1"});
}
TEST(Interruption, UninstallerWin10x64Usb) {
  Sweep({"win64", "win10", kUsbConfig, "uninstaller, 64-bit Windows 10, USB", true});
}
TEST(Interruption, UninstallerXp32Com1) {
  Sweep({"win32", "winxp", kCom1Config, "uninstaller, 32-bit XP, COM1", true});
}

}  // namespace
