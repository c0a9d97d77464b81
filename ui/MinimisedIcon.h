// Painting of a minimised dialog: its icon, centred in the client area.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

void PaintMinimisedIcon(HWND window, HICON icon);

// WM_PAINT while minimised and WM_QUERYDRAGICON, as both dialogs answer them;
// false for every other message (and for WM_PAINT when not minimised).
bool HandleIconMessage(HWND window, HICON icon, UINT message, LRESULT& result);

}  // namespace vkp::ui
