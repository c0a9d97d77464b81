// The Windows Installer package's custom actions (VKPM200.msi, Binary table).
// PrepareActions (immediate, after CostFinalize) checks the public
// properties before anything changes and writes the programs' command lines
// into the deferred actions' data; RunInstaller and RunUninstaller
// (deferred, not impersonated: as SYSTEM) run them and turn their exit codes
// into Windows Installer's outcomes; RequestRestart (immediate, after
// InstallFinalize) passes on a restart they learned of.
#include <string>

#include "msi/HiddenUninstallEntry.h"
#include "msi/MsiSession.h"
#include "msi/ProgramRun.h"
#include "msi/RestartRequest.h"
#include "msi/pure/DeploymentProperties.h"
#include "platform/WinHeaders.h"

namespace vkp {
namespace {

constexpr const char kInstaller[] = "VKPM200_Installer";
constexpr const char kUninstaller[] = "VKPM200_Uninstaller";

UINT RunFromActionData(const MsiSession& msi, const char* program, bool hideInstallerEntry) {
  const std::string line = msi.Property("CustomActionData");
  unsigned long exitCode = 0;
  unsigned long error = 0;
  if (!RunProgramToEnd(line, exitCode, error)) {
    msi.Log(std::string(program) + " could not be run (error " + std::to_string(error) + "): " + line);
    return ERROR_INSTALL_FAILURE;
  }
  msi.Log(std::string(program) + " ended with " + std::to_string(exitCode) + ": " + line);
  switch (OutcomeOfExitCode(exitCode)) {
    case ActionOutcome::Failure:
      return ERROR_INSTALL_FAILURE;
    case ActionOutcome::SuccessRestartNeeded:
      RememberRestartNeeded();
      break;
    case ActionOutcome::Success:
      break;
  }
  if (hideInstallerEntry && !HideInstallerUninstallEntry())
    msi.Log("the installer's own uninstall entry could not be hidden");
  return ERROR_SUCCESS;
}

}  // namespace
}  // namespace vkp

extern "C" UINT WINAPI PrepareActions(MSIHANDLE session) {
  using namespace vkp;
  const MsiSession msi(session);
  TakeRestartNeeded();  // one a cut run left behind is not this run's
  const std::string folder = msi.Property("INSTALLDIR");
  const std::string msiLog = msi.Property("MsiLogFileLocation");
  if (msi.Property("Installed").empty()) {
    const DeploymentProperties properties{msi.Property("PORT"), msi.Property("IP"), msi.Property("TCPPORT")};
    std::string switches;
    std::string error;
    if (!InstallerSwitchesFromProperties(properties, switches, error)) {
      msi.LogError(error + " Nothing was installed.");
      return ERROR_INSTALL_FAILURE;
    }
    msi.SetProperty("RunInstaller", UnattendedCommandLine(folder + kInstaller + ".exe", switches,
                                                          ProgramLogNextTo(msiLog, kInstaller)));
  }
  msi.SetProperty("RunUninstaller",
                  UnattendedCommandLine(folder + kUninstaller + ".exe", "", ProgramLogNextTo(msiLog, kUninstaller)));
  return ERROR_SUCCESS;
}

extern "C" UINT WINAPI RunInstaller(MSIHANDLE session) {
  return vkp::RunFromActionData(vkp::MsiSession(session), vkp::kInstaller, true);
}

extern "C" UINT WINAPI RunUninstaller(MSIHANDLE session) {
  return vkp::RunFromActionData(vkp::MsiSession(session), vkp::kUninstaller, false);
}

extern "C" UINT WINAPI RequestRestart(MSIHANDLE session) {
  const vkp::MsiSession msi(session);
  if (vkp::TakeRestartNeeded()) {
    msi.Log("a restart is needed to finish");
    msi.RequestRestartAtEnd();
  }
  return ERROR_SUCCESS;
}
