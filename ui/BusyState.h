// What a dialog shows while its worker is busy: the wait cursor, and no Close
// command in the system menu (removed, so it stays gone).
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

void ShowBusyState(HWND dialog, bool busy);

}  // namespace vkp::ui
