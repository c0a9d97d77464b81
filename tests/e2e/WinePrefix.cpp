#include "tests/e2e/WinePrefix.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/Robot.h"

namespace vkp::e2e {
namespace fs = std::filesystem;

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

Config& Config::Get() {
  static Config config{EnvOr("VKP_BUILD_DIR", VKP_DEFAULT_SOURCE_DIR "/build/win"),
                       EnvOr("VKP_SOURCE_DIR", VKP_DEFAULT_SOURCE_DIR)};
  return config;
}

std::string Config::DistDir() const { return EnvOr("VKP_DIST_DIR", sourceDir + "/build/dist/VKPM200"); }

void ParseConfigFlags(int* argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const char* a = argv[i];
    if (std::strncmp(a, "--build-dir=", 12) == 0) {
      Config::Get().buildDir = a + 12;
    } else if (std::strncmp(a, "--source-dir=", 13) == 0) {
      Config::Get().sourceDir = a + 13;
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  argv[kept] = nullptr;
}

WinePrefix::WinePrefix(PrefixOptions options) : options_(std::move(options)) {
  const Config& cfg = Config::Get();
  const RunResult clone = RunProcess(
      {cfg.sourceDir + "/tests/wine/clone-prefix", options_.arch, options_.winver}, {}, 60000);
  if (!clone.ok()) {
    error_ = "clone-prefix failed: " + clone.err;
    return;
  }
  root_ = Trim(clone.out);
  if (root_.empty() || !fs::is_directory(root_ + "/drive_c")) {
    error_ = "clone-prefix gave no prefix: " + clone.out;
    return;
  }
  if (options_.standIns) {  // edits system.reg: before any server runs
    const RunResult installed =
        RunProcess({cfg.sourceDir + "/tests/wine/install-standins", root_, options_.arch}, {}, 60000);
    if (!installed.ok()) {
      error_ = "install-standins failed: " + installed.err;
      return;
    }
  }
  if (options_.dpi != 0) {
    // Wine takes the scale from the user's desktop settings, else from the
    // machine's font settings; it reads them when its server starts.
    const std::string dpi = std::to_string(options_.dpi);
    for (const char* key : {"HKCU\\Control Panel\\Desktop",
                            "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}) {
      const RunResult r = Wine({"reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", dpi, "/f"});
      if (!r.ok()) {
        error_ = std::string("cannot set LogPixels in ") + key + ": " + r.err;
        return;
      }
    }
    Run({"wineserver", "-k"});
    Run({"wineserver", "-w"});
  }
  if (!options_.display.empty()) {
    // Windows must render on a real display: drop the null driver setting.
    const RunResult r = Wine({"reg", "delete", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/f"});
    Run({"wineserver", "-k"});
    Run({"wineserver", "-w"});
    if (!r.ok()) {
      error_ = "cannot remove the Graphics setting: " + r.err;
      return;
    }
  }
  ok_ = StartServer();
}

bool WinePrefix::StartServer() {
  // A persistent server, detached from every pipe of ours, then primed.
  const pid_t server = StartProcess({"wineserver", "-p"}, Environment(), {});
  if (server < 0 || !WaitProcess(server, 30000)) {
    if (server > 0) KillProcess(server);
    error_ = "wineserver -p did not start";
    return false;
  }
  const RunResult prime = Wine({"cmd", "/c", "exit"}, 60000);
  if (!prime.ok()) {
    error_ = "priming the prefix failed: " + prime.err;
    return false;
  }
  // The desktop stays in use, as a logged-in session's does (robot.cpp,
  // CmdHoldDesktop); the server's end takes the holder with it.
  if (!CopyIn(Config::Get().RobotExe(), Robot::kExe) || StartWine({Robot::kExe, "hold-desktop"}) < 0) {
    error_ = "the desktop holder did not start";
    return false;
  }
  return true;
}

bool WinePrefix::FlushRegistry() {
  Run({"wineserver", "-k"});
  Run({"wineserver", "-w"});
  return StartServer();
}

WinePrefix::~WinePrefix() {
  if (!root_.empty()) {
    Run({"wineserver", "-k"}, 30000);
    for (pid_t pid : children_) {
      if (!WaitProcess(pid, 5000)) KillProcess(pid);
    }
    Run({"wineserver", "-w"}, 30000);
    const char* keep = std::getenv("VKP_KEEP_CLONE");
    if (keep && std::strcmp(keep, "1") == 0) {
      std::fprintf(stderr, "e2e: kept prefix %s\n", root_.c_str());
    } else {
      std::error_code ec;
      fs::remove_all(root_, ec);
    }
  }
}

EnvChanges WinePrefix::Environment() const {
  const char* wineDebug = std::getenv("VKP_WINEDEBUG");
  EnvChanges env{{"WINEPREFIX", root_},
                 {"WINEDEBUG", std::string(wineDebug != nullptr ? wineDebug : "-all")},
                 {"WINEDLLOVERRIDES", std::string("mscoree,mshtml=")},
                 {"WINEARCH", std::nullopt},
                 {"WAYLAND_DISPLAY", std::nullopt}};
  if (options_.display.empty()) {
    env["DISPLAY"] = std::nullopt;
  } else {
    env["DISPLAY"] = options_.display;
  }
  return env;
}

std::string WinePrefix::Path(const std::string& windowsPath) const {
  std::string rest = windowsPath;
  if (rest.size() >= 2 && (rest[0] == 'C' || rest[0] == 'c') && rest[1] == ':') rest = rest.substr(2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  if (rest.empty() || rest[0] != '/') rest = "/" + rest;
  return root_ + "/drive_c" + rest;
}

RunResult WinePrefix::Run(const std::vector<std::string>& argv, int timeoutMs) const {
  return RunProcess(argv, Environment(), timeoutMs);
}

RunResult WinePrefix::Wine(const std::vector<std::string>& args, int timeoutMs) const {
  std::vector<std::string> argv{"wine"};
  argv.insert(argv.end(), args.begin(), args.end());
  return Run(argv, timeoutMs);
}

pid_t WinePrefix::StartWine(const std::vector<std::string>& args, const std::string& logFile) {
  std::vector<std::string> argv{"wine"};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = StartProcess(argv, Environment(), logFile);
  if (pid > 0) children_.push_back(pid);
  return pid;
}

std::optional<int> WinePrefix::Wait(pid_t pid, int timeoutMs) { return WaitProcess(pid, timeoutMs); }

bool WinePrefix::CopyIn(const std::string& linuxFile, const std::string& windowsPath) const {
  const fs::path dest = Path(windowsPath);
  std::error_code ec;
  fs::create_directories(dest.parent_path(), ec);
  fs::remove(dest, ec);  // never write through a hard link into the base
  return fs::copy_file(linuxFile, dest, ec) && !ec;
}

std::optional<std::string> WinePrefix::ReadFile(const std::string& windowsPath) const {
  std::ifstream in(Path(windowsPath), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace vkp::e2e
