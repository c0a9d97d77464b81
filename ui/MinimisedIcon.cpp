#include "ui/MinimisedIcon.h"

namespace vkp::ui {

void PaintMinimisedIcon(HWND window, HICON icon) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon);
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
