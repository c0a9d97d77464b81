#include "tests/e2e/InstallerSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace vkp::e2e {

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

InstallerSession::InstallerSession(const std::string& arch, const std::string& winver, const std::string& config,
                                   unsigned dpi) {
  PrefixOptions options{arch, winver, {}};
  options.standIns = true;
  options.dpi = dpi;
  prefix_ = std::make_unique<WinePrefix>(options);
  if (!prefix_->Ok()) {
    ADD_FAILURE() << prefix_->Error();
    return;
  }
  robot_ = std::make_unique<Robot>(*prefix_);
  if (!robot_->Ok() || !StageInstallerFolder(*prefix_)) {
    ADD_FAILURE() << "cannot stage the installer's folder from " << Config::Get().DistDir();
    return;
  }
  if (!config.empty()) std::ofstream(prefix_->Path("C:\\VKPM200\\VKPM200_Config.ZEM"), std::ios::binary) << config;
  ok_ = true;
}

bool InstallerSession::Start(const std::string& tag, const std::string& workDirWin,
                             const std::vector<std::string>& args) {
  run_ = std::make_unique<InstallerRun>(*prefix_, tag, workDirWin, args);
  return run_->Start();
}

bool InstallerSession::ChoosePort(unsigned portId, const std::string& ip, const std::string& tcpPort) {
  if (!robot_->WaitWindow(kPortTitle, 60000, true)) return false;
  if (!robot_->Do({"radio", kPortTitle, std::to_string(portId)}).ok()) return false;
  if (!ip.empty() && !robot_->Do({"ip", kPortTitle, std::to_string(kIpControl), ip}).ok()) return false;
  if (!tcpPort.empty() && !robot_->Do({"type", kPortTitle, std::to_string(kPortEdit), tcpPort}).ok()) return false;
  return robot_->Click(kPortTitle, 1);
}

std::vector<std::string> InstallerSession::AnswerUntilExit(const Answers& answers, int timeoutMs) {
  return AnswerBoxesUntilExit(*run_, kInstallerCaption, answers.restart, timeoutMs);
}

std::vector<std::string> InstallerSession::AnswerBoxesUntilExit(const ProgramRun& run, const std::string& caption,
                                                                bool restart, int timeoutMs) {
  std::vector<std::string> texts;
  const long long deadline = DeadlineAfter(timeoutMs);
  while (NowMs() < deadline && !run.ExitCode().has_value()) {
    if (!robot_->WaitWindow(caption, 500, true)) {
      if (!const_cast<ProgramRun&>(run).WaitLauncherEnd(0)) continue;
      break;  // the launcher ended without an exit code: a restart ended everything
    }
    const std::optional<Control> text = robot_->FindControl(caption, 0xFFFF);
    if (!text) continue;
    unsigned button = kIdOk;
    if (text->text.rfind("Restarting your computer", 0) == 0) button = restart ? kIdYes : kIdNo;
    const std::optional<std::string> answered = robot_->Answer(caption, button, 2000);
    if (answered) texts.push_back(*answered);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let the box go
  }
  return texts;
}

bool InstallerSession::Install(unsigned portId, const std::string& ip) {
  if (!Start("install-" + std::to_string(portId)) || !ChoosePort(portId, ip, ip.empty() ? "" : "9100")) return false;
  AnswerUntilExit();
  // Done: 0, or 3010 for the restart declined (USB needs none).
  return ExitCode() == std::optional<unsigned long>(portId == kRadioUsb ? 0 : 3010);
}

bool InstallerSession::InstallAnotherPrinter(unsigned portId) {
  if (!Start("another-" + std::to_string(portId)) || !ChoosePort(portId)) return false;
  AnswerUntilExit();
  return ExitCode() == std::optional<unsigned long>(0);
}

ProgramRun& InstallerSession::StartUninstaller(const std::string& tag, bool quiet) {
  std::string program = kUninstallerWin;
  std::vector<std::string> args;
  if (quiet) {  // "\"PROGRAM\" ARGS"
    const std::string line = RegValue(kUninstallKey, "QuietUninstallString");
    const auto end = line.find('"', 1);
    EXPECT_TRUE(line.size() > 2 && line[0] == '"' && end != std::string::npos) << line;
    if (end != std::string::npos) {
      program = line.substr(1, end - 1);
      std::istringstream rest(line.substr(end + 1));
      for (std::string word; rest >> word;) args.push_back(word);
    }
  }
  // A deployment tool starts it from its own folder, not the uninstaller's.
  uninstallRun_ = std::make_unique<ProgramRun>(*prefix_, program, quiet ? "C:\\windows\\system32" : "C:\\windows\\VKP-M200",
                                               tag, args);
  EXPECT_TRUE(uninstallRun_->Start());
  return *uninstallRun_;
}

std::vector<std::string> InstallerSession::AnswerUninstallerUntilExit(bool restart, int timeoutMs) {
  return AnswerBoxesUntilExit(*uninstallRun_, kUninstallerCaption, restart, timeoutMs);
}

std::vector<ListRow> InstallerSession::UninstallerRows(size_t count) const {
  std::vector<ListRow> rows;
  for (int i = 0; i < 50 && rows.size() < count; ++i) rows = robot_->List(kUninstallerTitle, kPrinterList);
  return rows;
}

bool InstallerSession::SetPrinterVersion(const std::string& printer, const std::array<const char*, 4>& numbers) {
  const std::string data = std::string(kPrintersKey) + "\\" + printer + "\\PrinterDriverData";
  const char* names[] = {"MajorVersion", "MinorVersion", "BuildVersion", "ExtraVersion"};
  for (size_t i = 0; i < numbers.size(); ++i) {
    const RunResult r = prefix_->Wine({"reg", "add", data, "/v", names[i], "/t", "REG_DWORD", "/d", numbers[i], "/f"});
    if (!r.ok()) {  // a failing check then shows why reg failed
      std::fprintf(stderr, "reg add %s /v %s: exit %d%s: %s%s\n", data.c_str(), names[i], r.exitCode,
                   r.timedOut ? " (timed out)" : "", r.out.c_str(), r.err.c_str());
      return false;
    }
  }
  return true;
}

std::string InstallerSession::Trace() const { return prefix_->ReadFile(kInstallerTraceWin).value_or(""); }

std::string InstallerSession::RegValue(const std::string& key, const std::string& value, int view) const {
  const RunResult r = prefix_->Wine({"reg", "query", key, "/v", value, view == 64 ? "/reg:64" : "/reg:32"});
  if (!r.ok()) return {};
  // "    NAME    REG_SZ    DATA"
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    const auto type = line.find("REG_");
    if (line.find(value) == std::string::npos || type == std::string::npos) continue;
    auto data = line.find_first_of(" \t", type);
    data = line.find_first_not_of(" \t", data);
    std::string out = data == std::string::npos ? std::string() : line.substr(data);
    while (!out.empty() && (out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out;
  }
  return {};
}

bool InstallerSession::RegKeyExists(const std::string& key, int view) const {
  return prefix_->Wine({"reg", "query", key, view == 64 ? "/reg:64" : "/reg:32"}).ok();
}

bool InstallerSession::FileExists(const std::string& windowsPath) const {
  return std::filesystem::exists(prefix_->Path(windowsPath));
}

std::vector<std::string> InstallerSession::OemInfsOfTheModel() const {
  std::vector<std::string> found;
  const std::string ours = Slurp(Config::Get().DistDir() + "/VKPM200.inf");
  for (const auto& entry : std::filesystem::directory_iterator(prefix_->Path("C:\\windows\\inf"))) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("oem", 0) != 0 || entry.path().extension() != ".inf") continue;
    if (Slurp(entry.path().string()) == ours) found.push_back(name);
  }
  return found;
}

}  // namespace vkp::e2e
