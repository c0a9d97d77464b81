// Lays a dialog out again for a new display scale where the system does not
// (per-monitor awareness version 1, Windows 8.1 to 10 1607): every child
// control's place and size scaled by the ratio of the scales, the dialog's
// font made again at the new scale, and the dialog moved to the rectangle
// Windows suggests.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

// The font the dialog gives its controls after a change of scale.
class ScaledFont {
 public:
  ScaledFont() = default;
  ~ScaledFont() { Reset(nullptr); }
  ScaledFont(const ScaledFont&) = delete;
  ScaledFont& operator=(const ScaledFont&) = delete;
  HFONT Get() const { return font_; }
  void Reset(HFONT font);

 private:
  HFONT font_ = nullptr;
};

void RelayoutForDpi(HWND dialog, UINT fromDpi, UINT toDpi, const RECT& suggested, ScaledFont& font);

}  // namespace vkp::ui
