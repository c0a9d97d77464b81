// Start of a worker thread: normal priority, default stack, running at once.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

using WorkerEntry = unsigned(__stdcall*)(void* parameter);

// True when the thread was created. The thread handle is not kept: the
// worker ends the process itself.
bool StartWorkerThread(WorkerEntry entry, void* parameter);

}  // namespace vkp::ui
