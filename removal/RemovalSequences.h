// The removal sequences each program runs on its worker thread.
//
// Uninstaller: its dialog owns a RemovalHost built with Variant::Uninstaller,
// the dialog's text, bar, window, printer-object list and count. The
// Uninstall button (or the automatic start) calls StartUninstallWorker; the
// dialog handles kCloseRequestMessage by ending its modal run with IDOK and
// must then leave the process to the worker, which ends it.
//
// Installer: CheckDifferentVersion builds a RemovalHost with
// Variant::Installer over the progress dialog's text and bar and calls
// RemoveInstalledDriver on its worker thread; it returns when the driver is
// removed (a failed printer enumeration ends the process instead).
#pragma once

#include "removal/RemovalHost.h"

namespace vkp::removal {

// Sets bBusy and starts UninstallWorker on a new thread (host.worker).
// Ignored (false) when a worker has already started for this host; false
// also (bBusy cleared, last error set) when the thread cannot be created.
bool StartUninstallWorker(RemovalHost& host);

// The uninstaller's worker, on the calling thread: deletes the checked
// printer objects and, when all of them are checked, the whole driver; asks
// about a restart after a full removal; ends the process. Returns at once
// when a worker has already started for this host.
void UninstallWorker(RemovalHost& host);

// The installer's removal of a different driver version: every printer
// object of the model, then the driver with its parts.
void RemoveInstalledDriver(RemovalHost& host);

}  // namespace vkp::removal
