#include "ui/MinimisedIcon.h"

#include "ui/Dpi.h"

namespace vkp::ui {

void PaintMinimisedIcon(HWND window, HICON icon) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window, &client);
  const UINT dpi = WindowDpi(window);
  const int width = MetricForDpi(SM_CXICON, dpi);
  const int height = MetricForDpi(SM_CYICON, dpi);
  const int x = (client.right - client.left - width + 1) / 2;
  const int y = (client.bottom - client.top - height + 1) / 2;
  DrawIconEx(dc, x, y, icon, width, height, 0, nullptr, DI_NORMAL);
  EndPaint(window, &paint);
}

bool HandleIconMessage(HWND window, HICON icon, UINT message, LRESULT& result) {
  if (message == WM_PAINT && IsIconic(window)) {
    PaintMinimisedIcon(window, icon);
    result = 0;
    return true;
  }
  if (message == WM_QUERYDRAGICON) {
    result = reinterpret_cast<LRESULT>(icon);
    return true;
  }
  return false;
}

}  // namespace vkp::ui
