#include "ui/WorkerThread.h"

#include <process.h>

namespace vkp::ui {

HANDLE StartWorkerThread(WorkerEntry entry, void* parameter) {
  return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, parameter, 0, nullptr));
}

}  // namespace vkp::ui
