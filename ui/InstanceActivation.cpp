#include "ui/InstanceActivation.h"

#include "platform/WinHeaders.h"

namespace vkp::ui {

int ActivateRunningInstance(std::initializer_list<const char*> titles) {
  HWND found = nullptr;
  for (const char* title : titles) {
    found = FindWindowA(nullptr, title);
    if (found != nullptr) break;
  }
  if (found == nullptr) return 1;
  HWND popup = GetLastActivePopup(found);
  if (IsIconic(found)) ShowWindow(found, SW_RESTORE);
  SetForegroundWindow(popup);
  return 0;
}

}  // namespace vkp::ui
