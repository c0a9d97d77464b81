// A window's icons drawn for its display scale: the big one (Alt+Tab, the
// minimised window) and the small one (title bar), loaded from the program's
// icon resource at the sizes for the window's DPI and destroyed with it.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

class WindowIcons {
 public:
  WindowIcons() = default;
  ~WindowIcons() { Release(); }
  WindowIcons(const WindowIcons&) = delete;
  WindowIcons& operator=(const WindowIcons&) = delete;

  // Loads icon resource `id` at the sizes for `dpi` and gives them to the window.
  void Load(HWND window, HINSTANCE instance, UINT id, UINT dpi);
  HICON Big() const { return big_; }

 private:
  void Release();
  HICON big_ = nullptr;
  HICON small_ = nullptr;
};

}  // namespace vkp::ui
