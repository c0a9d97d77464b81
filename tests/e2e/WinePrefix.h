// An isolated Wine prefix for one test: a clone of the base prefix with its
// own persistent wineserver and a program holding its desktop, removed again
// at destruction.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Process.h"

namespace vkp::e2e {

// Where the build and the sources are: VKP_BUILD_DIR and VKP_SOURCE_DIR
// (set by ctest), or --build-dir= / --source-dir= on the command line.
struct Config {
  std::string buildDir;   // the Windows build (build/win)
  std::string sourceDir;  // the repository
  static Config& Get();
  std::string RobotExe() const { return buildDir + "/tests/robot/vkp_robot.exe"; }
  std::string RobotHookDll() const { return buildDir + "/tests/robot/vkp_robot_hook.dll"; }
  std::string SampleExe() const { return buildDir + "/tests/robot/vkp_robot_sample.exe"; }
  std::string InstallerExe() const { return buildDir + "/installer/VKPM200_Installer.exe"; }
  // The installer's folder as scripts/build-package assembles it.
  std::string DistDir() const;
};

// Takes --build-dir= and --source-dir= out of argv; the rest stays for gtest.
void ParseConfigFlags(int* argc, char** argv);

struct PrefixOptions {
  std::string arch = "win64";    // win64 or win32
  std::string winver = "win10";  // a Wine version name, or "default"
  std::string display;           // X display to use; empty: headless (null driver)
  bool standIns = false;         // our printui and TCP/IP monitor, as tests/wine/install-standins puts them
  unsigned dpi = 0;              // the display's scale (96 is 100 %); 0: the base prefix's
};

class WinePrefix {
 public:
  explicit WinePrefix(PrefixOptions options);
  ~WinePrefix();
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;

  // False when the clone or its server could not be set up; Error() says why.
  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }
  const std::string& Root() const { return root_; }
  const PrefixOptions& Options() const { return options_; }

  // C:\Temp\X.txt -> <root>/drive_c/Temp/X.txt (drive letter C only).
  std::string Path(const std::string& windowsPath) const;

  // Runs "wine ARGS..." synchronously with captured output.
  RunResult Wine(const std::vector<std::string>& args, int timeoutMs = 30000) const;
  // Runs any command (wineserver, wine reg...) with the prefix's environment.
  RunResult Run(const std::vector<std::string>& argv, int timeoutMs = 30000) const;
  // Starts "wine ARGS..." in the background; its output goes to logFile
  // (Linux path, may be empty). The process is reaped at destruction.
  pid_t StartWine(const std::vector<std::string>& args, const std::string& logFile = {});
  std::optional<int> Wait(pid_t pid, int timeoutMs);

  // Copies a Linux file into the prefix (a real copy, never a link into the base).
  bool CopyIn(const std::string& linuxFile, const std::string& windowsPath) const;
  std::optional<std::string> ReadFile(const std::string& windowsPath) const;

  EnvChanges Environment() const;

  // Ends the prefix's processes so that the server writes the registry files,
  // then starts a fresh server. False when it could not be restarted.
  bool FlushRegistry();

 private:
  bool StartServer();
  PrefixOptions options_;
  std::string root_;
  std::string error_;
  bool ok_ = false;
  std::vector<pid_t> children_;
};

}  // namespace vkp::e2e
