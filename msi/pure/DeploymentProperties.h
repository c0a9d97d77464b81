// What the Windows Installer package hands its custom actions: the
// installer's switches built from the package's public properties (PORT, IP,
// TCPPORT), the programs' command lines, and the programs' exit codes read as
// Windows Installer's outcomes. Pure.
#pragma once

#include <string>

namespace vkp {

struct DeploymentProperties {
  std::string port;     // PORT: COM1..COM4, USB or WLAN
  std::string ip;       // IP: with WLAN, the printer's IPv4 address
  std::string tcpPort;  // TCPPORT: with WLAN, 1 to 10000 (default 9100)
};

// The installer's port switches ("/port=WLAN /ip=192.168.0.20"), checked by
// the installer's own command-line rules. Only letters, digits and dots are
// taken, so that no value can add a switch of its own. On failure returns
// false with a one-line message naming the property.
bool InstallerSwitchesFromProperties(const DeploymentProperties& properties, std::string& switches,
                                     std::string& error);

// The log one of our programs writes next to msiexec's own (the log the
// MsiLogFileLocation property names): "<that log>.<program>.log". Empty
// without an msiexec log, or when the name would not fit the /log switch.
std::string ProgramLogNextTo(const std::string& msiLog, const char* program);

// "\"<programPath>\" /quiet /norestart <switches> [/log=\"<logPath>\"]".
std::string UnattendedCommandLine(const std::string& programPath, const std::string& switches,
                                  const std::string& logPath);

// How a program's exit code ends the custom action that ran it.
enum class ActionOutcome { Success, SuccessRestartNeeded, Failure };
ActionOutcome OutcomeOfExitCode(unsigned long exitCode);

}  // namespace vkp
