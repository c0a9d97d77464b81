// Small system operations shared by the installer and the uninstaller.
#pragma once

#include <string>

#include "platform/WinHeaders.h"
#include "support/PinnedFolder.h"

namespace vkp {

// Asks Windows to restart (shutdown privilege enabled first). Nonzero when
// the request was accepted, 0 on any failure.
int RestartWindows();
// True once RestartWindows had its request accepted in this process.
bool RestartStarted();

// Writes the trace line of a failed file deletion; always false.
bool LogDeleteFileError(const char* path, DWORD error);

// Deletes the directory with everything below it, read-only entries
// included. Each folder is pinned (PinnedFolder) before it is looked into,
// and no link is followed. Silent: what cannot be deleted stays.
void DeleteDirectoryTree(std::string path);
// The same for a folder the caller has pinned and checked already.
void DeletePinnedDirectoryTree(PinnedFolder folder, const std::string& path);

// Removes from the device database every USB device (present or not) whose
// first hardware id starts, in any letter case, with the 21-character
// prefix. False when the device list cannot be made or walked, or a device
// cannot be removed.
bool RemoveUsbDevices(const char* hardwareIdPrefix);

}  // namespace vkp
