// The folder where the installer copies the driver package and checks it
// before anything uses it: beside the installation directory in the Windows
// directory, where only the administrators may write. The uninstaller takes
// it away when a cut run left it.
#pragma once

#include <string>

namespace vkp {

// "<windowsDirectory>\<modelName>_Package"
std::string StagedPackageFolder(const std::string& windowsDirectory, const std::string& modelName);

}  // namespace vkp
