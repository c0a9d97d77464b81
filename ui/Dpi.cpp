#include "ui/Dpi.h"

#include "platform/Os.h"

namespace vkp::ui {

namespace {
// The system's one scale, as releases before Windows 10 1607 give it.
UINT SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kDefaultDpi;
  const int dpi = Os().GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}
}  // namespace

UINT WindowDpi(HWND window) {
  const UINT dpi = window != nullptr ? Os().GetDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
  const int value = Os().GetSystemMetricsForDpi(index, dpi);
  if (value != 0) return value;
  // Without the function the metrics are the system scale's: scale them from there.
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

bool SystemRescalesDialog(HWND window) {
  DPI_AWARENESS_CONTEXT context = Os().GetWindowDpiAwarenessContext(window);
  return context != nullptr &&
         Os().AreDpiAwarenessContextsEqual(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;
}

}  // namespace vkp::ui
