#include "ui/WorkerThread.h"

#include <process.h>

namespace vkp::ui {

bool StartWorkerThread(WorkerEntry entry, void* parameter) {
  const uintptr_t thread = _beginthreadex(nullptr, 0, entry, parameter, 0, nullptr);
  if (thread == 0) return false;
  CloseHandle(reinterpret_cast<HANDLE>(thread));
  return true;
}

}  // namespace vkp::ui
