// The system's own programs (net, rundll32), always started by the full path of
// their copy in the system directory. Started by name, Windows would look in
// the program's folder and the current directory first, and both are often
// writable by ordinary users (Downloads, shares, deployment caches): a
// planted net.exe or rundll32.exe would run as administrator.
//
// The system directory is the one GetSystemDirectoryA names. For these 32-bit
// programs on 64-bit Windows the file system redirects it to SysWOW64: the
// 32-bit net is the copy a search used to find, controls the same spooler
// service and exists on every 64-bit release (Sysnative does not on 2003 and
// XP x64). A program whose work depends on its architecture (rundll32 with
// printui, which installs for its own) is started as the system's native
// copy instead.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

// The system directory (no trailing backslash); false when unknown.
bool SystemDirectory(char (&directory)[MAX_PATH]);

// systemDirectory\program; false when unknown or too long.
bool SystemProgramPath(const char* program, char (&path)[MAX_PATH]);

// The 64-bit system's own copy for a process under WOW64 (is64Bit):
// Sysnative\program beside the system directory, which Vista and later
// always provide; otherwise the same as SystemProgramPath. False when
// unknown or too long.
bool NativeSystemProgramPath(const char* program, bool is64Bit, char (&path)[MAX_PATH]);

// Starts the command line, hidden and without waiting (as WinExec did), with
// the system's copy of the program its first word names (first word + ".exe").
// Its current directory is the system directory.
bool StartSystemCommand(const char* commandLine);

// "net start spooler" and "net stop spooler".
void StartSpooler();
void StopSpooler();

// Starts the spooler and gives it two seconds to come up.
void StartSpoolerAndWait();

// Stops the spooler and starts it again, two seconds after each command.
void RestartSpooler();

}  // namespace vkp
