#include "msi/pure/DeploymentProperties.h"

#include "support/ExitCodes.h"
#include "support/pure/CommandLine.h"

namespace vkp {

namespace {

// Letters, digits and dots: the values the port switches take. A blank, a
// quote or a slash could otherwise smuggle another switch (a /log of the
// caller's choosing) into the installer's command line.
bool PlainValue(const std::string& value) {
  for (const char c : value) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
    if (!plain) return false;
  }
  return true;
}

bool Fail(std::string& error, const std::string& message) {
  error = message;
  return false;
}

}  // namespace

bool InstallerSwitchesFromProperties(const DeploymentProperties& properties, std::string& switches,
                                     std::string& error) {
  switches.clear();
  const struct {
    const char* property;
    const char* switchName;
    const std::string& value;
  } fields[] = {{"PORT", "/port=", properties.port},
                {"IP", "/ip=", properties.ip},
                {"TCPPORT", "/tcpport=", properties.tcpPort}};
  if (properties.port.empty())
    return Fail(error, "The property PORT is required: COM1, COM2, COM3, COM4, USB or WLAN.");
  std::string line;
  for (const auto& field : fields) {
    if (field.value.empty()) continue;
    if (!PlainValue(field.value))
      return Fail(error, std::string("The property ") + field.property + " has a bad value: \"" + field.value + "\".");
    line += std::string(line.empty() ? "" : " ") + field.switchName + field.value;
  }
  // The installer's own rules, so that the package refuses exactly what the
  // installer would, before anything changes; its message names the switch.
  CommandLineOptions options;
  std::string parseError;
  if (!ParseCommandLine(line.c_str(), ProgramKind::Installer, options, parseError))
    return Fail(error, "The properties PORT, IP and TCPPORT give no valid port: " + parseError);
  switches = line;
  error.clear();
  return true;
}

std::string ProgramLogNextTo(const std::string& msiLog, const char* program) {
  if (msiLog.empty()) return {};
  std::string log = msiLog + "." + program + ".log";
  if (log.size() > kMaxLogPathLength || log.find('"') != std::string::npos) return {};
  return log;
}

std::string UnattendedCommandLine(const std::string& programPath, const std::string& switches,
                                  const std::string& logPath) {
  std::string line = "\"" + programPath + "\" /quiet /norestart";
  if (!switches.empty()) line += " " + switches;
  if (!logPath.empty()) line += " /log=\"" + logPath + "\"";
  return line;
}

ActionOutcome OutcomeOfExitCode(unsigned long exitCode) {
  switch (exitCode) {
    case kExitSuccess:
      return ActionOutcome::Success;
    // With /norestart the programs never start a restart themselves; should
    // one say it did, Windows Installer still owns the restart.
    case kExitRestartNeeded:
    case kExitRestartStarted:
      return ActionOutcome::SuccessRestartNeeded;
    default:
      return ActionOutcome::Failure;
  }
}

}  // namespace vkp
