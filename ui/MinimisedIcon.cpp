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

}  // namespace vkp::ui
