// Exit codes of the installer that a deployment tool can read.
#pragma once

namespace vkp {

constexpr unsigned kExitSuccess = 0;           // installed, nothing to do, cancelled, restarting
constexpr unsigned kExitInstallFailed = 1603;  // as Windows Installer's ERROR_INSTALL_FAILURE
constexpr unsigned kExitPrintUiTimeout = static_cast<unsigned>(-1);

}  // namespace vkp
