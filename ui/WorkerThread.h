// Start of a worker thread: normal priority, default stack, running at once.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

using WorkerEntry = unsigned(__stdcall*)(void* parameter);

// The new thread's handle, or nullptr (last error set) when it could not be
// created. The worker ends the process itself; the handle lets the dialog's
// thread wait for it before it destroys anything the worker uses.
HANDLE StartWorkerThread(WorkerEntry entry, void* parameter);

}  // namespace vkp::ui
