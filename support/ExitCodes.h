// The exit codes of both programs: what a deployment tool, which reads
// nothing else, learns of a run. The values are Windows Installer's, which
// such tools already understand; the README has the same table.
#pragma once

namespace vkp {

// Done: installed, removed, or nothing to do.
constexpr unsigned kExitSuccess = 0;
// Done, and a restart is needed to finish; none was started.
constexpr unsigned kExitRestartNeeded = 3010;  // ERROR_SUCCESS_REBOOT_REQUIRED
// Done, and the program started the restart.
constexpr unsigned kExitRestartStarted = 1641;  // ERROR_SUCCESS_REBOOT_INITIATED
// Cancelled by the user.
constexpr unsigned kExitCancelled = 1602;  // ERROR_INSTALL_USEREXIT
// Failed: an unsupported Windows release, a dialog Windows could not
// create, or a step whose result or end state shows the work was not done.
constexpr unsigned kExitInstallFailed = 1603;  // ERROR_INSTALL_FAILURE
// A switch of the command line is unknown or has a bad value; nothing was changed.
constexpr unsigned kExitInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
// Another copy of the program is already running.
constexpr unsigned kExitAlreadyRunning = 1618;  // ERROR_INSTALL_ALREADY_RUNNING
// printui did not finish in time.
constexpr unsigned kExitPrintUiTimeout = static_cast<unsigned>(-1);

}  // namespace vkp
