// The switches of unattended deployment, shared by the installer and the
// uninstaller: "/quiet", "/log=PATH", "-PORT=usb" and so on. Pure.
#pragma once

#include <cstddef>
#include <string>

namespace vkp {

enum class ProgramKind { Installer, Uninstaller };

// A log path must fit a MAX_PATH buffer with its terminator.
constexpr std::size_t kMaxLogPathLength = 259;
constexpr int kMaxTcpPort = 10000;

struct CommandLineOptions {
  bool quiet = false;         // no window, no message box
  bool passive = false;       // progress window only, no message box
  bool noRestart = false;     // never restart Windows
  bool forceRestart = false;  // restart at the end when it is needed
  std::string logPath;        // empty: no second trace
  int portType = -1;          // -1: not given; else the kPortType order of ConfigRules.h
  int octets[4] = {0, 0, 0, 0};
  int tcpPort = 0;  // 0 unless the port is the wireless LAN (then 1..kMaxTcpPort)

  bool Unattended() const { return quiet || passive; }
};

// Parses the command line as WinMain receives it (without the program name);
// nullptr counts as empty. Switches are introduced by '/' or '-', in any
// letter case and order, separated by blanks. Double quotes group blanks into
// a token and are dropped; backslashes are always literal, so that a quoted
// folder may end in one. On failure returns false with default options and a
// one-line English message in `error` that names the offending switch or
// value; on success `error` is cleared.
bool ParseCommandLine(const char* commandLine, ProgramKind kind, CommandLineOptions& options,
                      std::string& error);

// The switches the program accepts, one per line ("\n"), each with a short
// description; the port switches only for the installer.
std::string CommandLineUsage(ProgramKind kind);

}  // namespace vkp
