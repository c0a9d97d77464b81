// The display scale a window is drawn at, in dots per inch (96 is 100 %),
// and sizes for it. Windows 10 (1607 on) gives every window its monitor's
// scale; older releases have one scale for the whole system.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

constexpr UINT kDefaultDpi = 96;

UINT WindowDpi(HWND window);
// A length in pixels at 96 dpi, at `dpi`.
inline int ScaleToDpi(int pixelsAt96, UINT dpi) { return MulDiv(pixelsAt96, static_cast<int>(dpi), kDefaultDpi); }
// A system metric (SM_CXICON, SM_CYMENUCHECK, ...) at `dpi`.
int MetricForDpi(int index, UINT dpi);
// True when the system itself lays a dialog out again when its scale
// changes (per-monitor version 2); the dialog then only renews its own
// pixel-sized parts.
bool SystemRescalesDialog(HWND window);

}  // namespace vkp::ui
