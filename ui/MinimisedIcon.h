// Painting of a minimised dialog: its icon, centred in the client area.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

void PaintMinimisedIcon(HWND window, HICON icon);

}  // namespace vkp::ui
