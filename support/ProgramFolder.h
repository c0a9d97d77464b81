// The folder of the program's own file. The installer takes the INF, the
// driver files, the uninstaller and the configuration file from there, not
// from wherever a deployment tool or a command prompt happened to start it.
#pragma once

namespace vkp {

// Makes the folder of the running program file the current directory, so
// that every file of the installer's folder is found from any start
// directory. False (nothing changed) when the folder cannot be told.
bool EnterProgramFolder();

}  // namespace vkp
