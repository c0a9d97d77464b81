// One installation in a fresh prefix with the stand-ins and the installer's
// folder, driven through the robot as a user would, and what it left behind.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/ProgramIds.h"
#include "tests/e2e/Robot.h"

namespace vkp::e2e {

struct Answers {
  bool restart = false;  // the answer to the restart question
};

// The version the installer carries (resources/Version.h), as a printer's data holds it.
inline const std::array<const char*, 4> kThisVersion{"2", "0", "2", "0"};

class InstallerSession {
 public:
  // config: the text of a configuration file in the installer's folder;
  // dpi: the display's scale (0: the base prefix's, 96).
  InstallerSession(const std::string& arch, const std::string& winver, const std::string& config = {},
                   unsigned dpi = 0);

  bool Ok() const { return ok_; }
  WinePrefix& Prefix() { return *prefix_; }
  Robot& Ui() { return *robot_; }

  // Starts the installer (again) from its folder.
  bool Start(const std::string& tag = "install", const std::string& workDirWin = kInstallerDirWin,
             const std::vector<std::string>& args = {});
  // Chooses the port in the port dialog and presses Next. portId is the radio
  // button; for wireless LAN also the address and the TCP port.
  bool ChoosePort(unsigned portId, const std::string& ip = {}, const std::string& tcpPort = {});
  // Answers every message box until the installer ends; the texts in order.
  std::vector<std::string> AnswerUntilExit(const Answers& answers = {}, int timeoutMs = 180000);
  // Answers boxes of `caption` until `run` ends.
  std::vector<std::string> AnswerBoxesUntilExit(const ProgramRun& run, const std::string& caption, bool restart,
                                                int timeoutMs);
  std::optional<unsigned long> ExitCode() const { return run_ ? run_->ExitCode() : std::nullopt; }
  // Installs over the given port with the restart declined; true when it
  // ended as done (0 for USB, 3010 for the restart it still needs).
  bool Install(unsigned portId, const std::string& ip = {});
  // Adds another printer to the installed driver; true when it ended with 0
  // (nothing new to restart for).
  bool InstallAnotherPrinter(unsigned portId);

  // The uninstaller, started as the uninstall entry starts it; with `quiet`,
  // as a deployment tool runs the entry's "QuietUninstallString".
  ProgramRun& StartUninstaller(const std::string& tag = "uninstall", bool quiet = false);
  // Answers the uninstaller's boxes until it ends; the texts in order.
  std::vector<std::string> AnswerUninstallerUntilExit(bool restart, int timeoutMs = 120000);
  // The uninstaller's list of printers once it holds `count` rows (its
  // start-up timer fills it), or as it is after 50 looks.
  std::vector<ListRow> UninstallerRows(size_t count) const;

  // Gives a printer the version values the driver package writes into its
  // printers (Major, Minor, Build, ExtraVersion); false when one failed.
  bool SetPrinterVersion(const std::string& printer, const std::array<const char*, 4>& numbers);

  std::string Trace() const;
  // A registry value as `reg query` prints it ("" when missing); view 64 or 32.
  std::string RegValue(const std::string& key, const std::string& value, int view = 64) const;
  bool RegKeyExists(const std::string& key, int view = 64) const;
  bool FileExists(const std::string& windowsPath) const;
  // OEM INFs in the INF store that hold our INF's text.
  std::vector<std::string> OemInfsOfTheModel() const;

 private:
  bool ok_ = false;
  std::unique_ptr<WinePrefix> prefix_;
  std::unique_ptr<Robot> robot_;
  std::unique_ptr<InstallerRun> run_;
  std::unique_ptr<ProgramRun> uninstallRun_;
};

constexpr const char* kUninstallerTitle = "NORVEKA VKP-M200 Uninstaller";
constexpr const char* kUninstallerCaption = "VKPM200_Uninstaller";
constexpr const char* kUninstallerWin = "C:\\windows\\VKP-M200\\VKPM200_Uninstaller.exe";

constexpr const char* kPrintersKey = "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers";
constexpr const char* kUninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200";
constexpr const char* kModel = "NORVEKA VKP-M200";
constexpr const char* kDriverKey32 =
    "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\NORVEKA VKP-M200";
constexpr const char* kDriverKey64 =
    "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\NORVEKA VKP-M200";

}  // namespace vkp::e2e
