#include "ui/WindowIcons.h"

#include "ui/Dpi.h"

namespace vkp::ui {

namespace {
HICON LoadIconAt(HINSTANCE instance, UINT id, int width, int height) {
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}
}  // namespace

void WindowIcons::Load(HWND window, HINSTANCE instance, UINT id, UINT dpi) {
  HICON big = LoadIconAt(instance, id, MetricForDpi(SM_CXICON, dpi), MetricForDpi(SM_CYICON, dpi));
  HICON little = LoadIconAt(instance, id, MetricForDpi(SM_CXSMICON, dpi), MetricForDpi(SM_CYSMICON, dpi));
  // The window holds the new ones before the old ones go.
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little != nullptr ? little : big));
  Release();
  big_ = big;
  small_ = little;
}

void WindowIcons::Release() {
  if (small_ != nullptr) DestroyIcon(small_);
  if (big_ != nullptr) DestroyIcon(big_);
  small_ = big_ = nullptr;
}

}  // namespace vkp::ui
