#include "ui/DpiRelayout.h"

#include "platform/Os.h"

namespace vkp::ui {

void ScaledFont::Reset(HFONT font) {
  if (font_ != nullptr) Os().DeleteObject(font_);
  font_ = font;
}

namespace {
int Scale(LONG value, UINT from, UINT to) {
  return MulDiv(value, static_cast<int>(to), static_cast<int>(from));
}

HFONT FontAtDpi(HWND dialog, UINT from, UINT to) {
  HFONT current = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  LOGFONTA face;
  if (current == nullptr || Os().GetObjectA(current, sizeof face, &face) != sizeof face) return nullptr;
  face.lfHeight = Scale(face.lfHeight, from, to);
  face.lfWidth = Scale(face.lfWidth, from, to);
  return Os().CreateFontIndirectA(&face);
}
}  // namespace

void RelayoutForDpi(HWND dialog, UINT fromDpi, UINT toDpi, const RECT& suggested, ScaledFont& font) {
  if (fromDpi == 0 || fromDpi == toDpi) return;
  HFONT scaled = FontAtDpi(dialog, fromDpi, toDpi);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    const int left = Scale(place.left, fromDpi, toDpi);
    const int top = Scale(place.top, fromDpi, toDpi);
    SetWindowPos(child, nullptr, left, top, Scale(place.right, fromDpi, toDpi) - left,
                 Scale(place.bottom, fromDpi, toDpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (scaled != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
  }
  if (scaled != nullptr) {
    SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
    font.Reset(scaled);  // after every control took the new one
  }
  SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace vkp::ui
