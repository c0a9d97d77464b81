#include "ui/Deployment.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/WinHeaders.h"
#include "support/TraceLog.h"
#include "ui/MessageBox.h"

namespace vkp::ui {

namespace {
Deployment gDeployment;

// Whether a command line that could not be read still asked for no boxes.
bool AsksForNoBoxes(const char* commandLine) {
  std::string text = commandLine != nullptr ? commandLine : "";
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const char* word : {"/quiet", "-quiet", "/passive", "-passive"})
    if (text.find(word) != std::string::npos) return true;
  return false;
}
}  // namespace

void SetDeployment(const Deployment& deployment) { gDeployment = deployment; }

const Deployment& CurrentDeployment() { return gDeployment; }

bool TakeDeploymentSwitches(const char* commandLine, ProgramKind kind, CommandLineOptions& options) {
  std::string error;
  if (!ParseCommandLine(commandLine, kind, options, error)) {
    const std::string usage = CommandLineUsage(kind);
    if (AsksForNoBoxes(commandLine)) {
      InitTraceLog();
      WriteTraceLog("BAD COMMAND LINE : %s", error.c_str());
      std::size_t start = 0;
      while (start < usage.size()) {
        const std::size_t end = std::min(usage.find('\n', start), usage.size());
        WriteTraceLog("%s", usage.substr(start, end - start).c_str());
        start = end + 1;
      }
    } else {
      std::string text = error + "\n\n" + usage;
      ShowMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
    }
    return false;
  }
  Deployment deployment;
  deployment.quiet = options.quiet;
  deployment.passive = options.passive;
  deployment.restart = options.forceRestart ? RestartChoice::Force
                       : options.noRestart || options.Unattended() ? RestartChoice::Never
                                                                   : RestartChoice::Ask;
  SetDeployment(deployment);
  if (!options.logPath.empty()) SetSecondTraceLog(options.logPath.c_str());
  return true;
}

bool MayRestartUnasked() {
  if (gDeployment.restart != RestartChoice::Never) return true;
  WriteTraceLog("RESTART NOT STARTED : left to the caller by the switches");
  return false;
}

bool AskRestart() {
  switch (gDeployment.restart) {
    case RestartChoice::Force:
      WriteTraceLog("RESTART QUESTION ANSWERED : Yes");
      return true;
    case RestartChoice::Never:
      WriteTraceLog("RESTART QUESTION ANSWERED : No");
      return false;
    case RestartChoice::Ask:
      break;
  }
  return ShowMessageBox(
             "Restarting your computer can take effect.\nPlease restart your computer."
             "\n\n[Yes] I want to restart my computer now.\n[No] I want to restart my computer later.",
             MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace vkp::ui
