// The installer registers its own uninstall entry; installed by the package,
// the package's entry in Apps & Features is the one to show, so the
// installer's is marked as a system component, which Apps & Features leaves
// out. Its removal still goes by the package's entry: Windows Installer runs
// the uninstaller, which deletes the installer's entry with the rest.
#pragma once

namespace vkp {

// Sets "SystemComponent" to 1 on the installer's entry; false when the
// entry is missing or cannot be written.
bool HideInstallerUninstallEntry();

}  // namespace vkp
