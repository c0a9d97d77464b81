#include "tests/e2e/Robot.h"

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace vkp::e2e {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The robot's tab-separated output lines with at least `fields` fields, each
// made into a row by `parse`; none when the command failed.
template <typename Row, typename Parse>
std::vector<Row> ParseRows(const RunResult& r, size_t fields, Parse parse) {
  std::vector<Row> out;
  if (!r.ok()) return out;
  for (const std::string& line : Lines(r.out)) {
    const std::vector<std::string> f = Split(line, "\t");
    if (f.size() >= fields) out.push_back(parse(f));
  }
  return out;
}

// The first line the command printed ("" for none); nothing when it failed.
std::optional<std::string> FirstLine(const RunResult& r) {
  if (!r.ok()) return std::nullopt;
  const std::vector<std::string> lines = Lines(r.out);
  return lines.empty() ? std::string() : lines.front();
}

}  // namespace

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    if (end == std::string::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
}

Robot::Robot(WinePrefix& prefix) : prefix_(prefix) {
  const Config& cfg = Config::Get();
  // The prefix has the robot itself already: it holds the desktop.
  ok_ = prefix_.Ok() && prefix_.CopyIn(cfg.RobotHookDll(), "C:\\vkp-robot\\vkp_robot_hook.dll");
}

RunResult Robot::Do(const std::vector<std::string>& args, int timeoutMs) const {
  std::vector<std::string> all{kExe};
  all.insert(all.end(), args.begin(), args.end());
  RunResult r = prefix_.Wine(all, timeoutMs);
  if (!r.ok()) {  // a failing check then shows why the robot failed
    std::string line;
    for (const std::string& a : args) line += " " + a;
    std::fprintf(stderr, "robot%s: exit %d%s: %s\n", line.c_str(), r.exitCode,
                 r.timedOut ? " (timed out)" : "", r.err.c_str());
  }
  return r;
}

bool Robot::WaitWindow(const std::string& title, int timeoutMs, bool visible) const {
  std::vector<std::string> args{"wait-window", title, std::to_string(MachineMs(timeoutMs))};
  if (visible) args.push_back("--visible");
  return Do(args, timeoutMs + 20000).ok();
}

std::vector<Control> Robot::Controls(const std::string& title) const {
  return ParseRows<Control>(Do({"controls", title}), 6, [](const std::vector<std::string>& f) {
    Control c;
    c.id = static_cast<unsigned>(std::strtoul(f[0].c_str(), nullptr, 10));
    c.className = f[1];
    c.enabled = f[2] == "1";
    c.visible = f[3] == "1";
    c.checked = f[4] == "-" ? -1 : std::atoi(f[4].c_str());
    c.text = f[5];
    return c;
  });
}

std::optional<Control> Robot::FindControl(const std::string& title, unsigned id) const {
  for (const Control& c : Controls(title))
    if (c.id == id) return c;
  return std::nullopt;
}

std::string Robot::WaitControlText(const std::string& title, unsigned id,
                                   const std::string& expected, int timeoutMs) const {
  const long long deadline = DeadlineAfter(timeoutMs);
  std::string last;
  for (;;) {
    const std::optional<Control> c = FindControl(title, id);
    if (c) last = c->text;
    if (last == expected || NowMs() >= deadline) return last;
    SleepMs(50);
  }
}

std::vector<ListRow> Robot::List(const std::string& title, unsigned id) const {
  return ParseRows<ListRow>(Do({"list", title, std::to_string(id)}), 4, [](const std::vector<std::string>& f) {
    ListRow row;
    row.row = static_cast<unsigned>(std::strtoul(f[0].c_str(), nullptr, 10));
    row.data = std::strtoul(f[1].c_str(), nullptr, 10);
    row.selected = f[2] == "1";
    row.text = f[3];
    return row;
  });
}

bool Robot::Click(const std::string& title, unsigned id) const {
  return Do({"click", title, std::to_string(id)}).ok();
}

std::optional<std::string> Robot::Answer(const std::string& title, unsigned button,
                                         int timeoutMs) const {
  return FirstLine(
      Do({"answer", title, std::to_string(button), std::to_string(MachineMs(timeoutMs))}, timeoutMs + 20000));
}

std::optional<std::string> Robot::Foreground() const { return FirstLine(Do({"foreground"})); }

std::optional<DialogLayout> Robot::Layout(const std::string& title, const std::string& face, int points) const {
  const RunResult r = Do({"layout", title, face, std::to_string(points)});
  if (!r.ok()) return std::nullopt;
  DialogLayout layout;
  for (const std::string& line : Lines(r.out)) {
    const std::vector<std::string> f = Split(line, "\t");
    if (f.size() == 4 && f[0] == "dialog") {
      layout.dpi = static_cast<unsigned>(std::stoul(f[1]));
      layout.clientWidth = std::stoi(f[2]);
      layout.clientHeight = std::stoi(f[3]);
    } else if (f.size() >= 15) {
      LaidOutControl c;
      c.id = static_cast<unsigned>(std::stoul(f[0]));
      c.className = f[1];
      c.style = std::stoul(f[2], nullptr, 16);
      c.visible = f[3] == "1";
      c.left = std::stoi(f[4]);
      c.top = std::stoi(f[5]);
      c.right = std::stoi(f[6]);
      c.bottom = std::stoi(f[7]);
      c.clientWidth = std::stoi(f[8]);
      c.clientHeight = std::stoi(f[9]);
      c.textWidth = std::stoi(f[10]);
      c.textHeight = std::stoi(f[11]);
      c.lineHeight = std::stoi(f[12]);
      c.rowHeight = std::stoi(f[13]);
      c.text = f[14];
      layout.controls.push_back(c);
    }
  }
  if (layout.dpi == 0) return std::nullopt;
  return layout;
}

std::optional<bool> Robot::SysmenuHasClose(const std::string& title) const {
  const std::optional<std::string> line = FirstLine(Do({"sysmenu-has-close", title}));
  if (line == "1") return true;
  if (line == "0") return false;
  return std::nullopt;
}

ProgramRun::ProgramRun(WinePrefix& prefix, std::string programWin, std::string workDirWin, std::string tag,
                       std::vector<std::string> args)
    : prefix_(prefix),
      program_(std::move(programWin)),
      workDir_(std::move(workDirWin)),
      tag_(std::move(tag)),
      args_(std::move(args)) {}

bool ProgramRun::Start() {
  const std::string exitFile = "C:\\vkp-e2e\\exit-" + tag_ + ".txt";
  std::error_code ec;
  std::filesystem::create_directories(prefix_.Path("C:\\vkp-e2e"), ec);
  std::filesystem::remove(prefix_.Path(exitFile), ec);
  startedAt_ = NowMs();
  std::vector<std::string> command = {Robot::kExe, "launch", exitFile, workDir_, program_};
  command.insert(command.end(), args_.begin(), args_.end());
  const pid_t pid = prefix_.StartWine(command, prefix_.Path("C:\\vkp-e2e\\launch-" + tag_ + ".log"));
  launcher_ = pid;
  return pid > 0;
}

bool ProgramRun::WaitLauncherEnd(int timeoutMs) {
  if (launcher_ <= 0) return false;
  if (!prefix_.Wait(launcher_, timeoutMs).has_value()) return false;
  launcher_ = -1;
  return true;
}

std::optional<unsigned long> ProgramRun::ExitCode() const {
  const std::optional<std::string> text = prefix_.ReadFile("C:\\vkp-e2e\\exit-" + tag_ + ".txt");
  if (!text || text->empty()) return std::nullopt;
  return std::strtoul(text->c_str(), nullptr, 10);
}

std::optional<unsigned long> ProgramRun::WaitExit(int timeoutMs) const {
  const long long deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    if (std::optional<unsigned long> code = ExitCode()) return code;
    if (NowMs() >= deadline) return std::nullopt;
    SleepMs(50);
  }
}

bool StageInstaller(WinePrefix& prefix) {
  return prefix.CopyIn(Config::Get().InstallerExe(), kInstallerWin);
}

bool StageInstallerFolder(WinePrefix& prefix) {
  namespace fs = std::filesystem;
  const fs::path dist = Config::Get().DistDir();
  if (!fs::is_regular_file(dist / "VKPM200_Installer.exe")) return false;
  std::error_code error;
  const fs::path target = prefix.Path(kInstallerDirWin);
  fs::create_directories(target, error);
  fs::copy(dist, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
  // The folder's own installer, as shipped: it carries the digest list of
  // the folder's other files, which the tests' build of it does not.
  return !error;
}

}  // namespace vkp::e2e
