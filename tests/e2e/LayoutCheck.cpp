// The rules a dialog's layout must keep at every display scale (Robot.h).
#include <strings.h>

#include <string>
#include <vector>

#include "tests/e2e/Robot.h"

namespace vkp::e2e {
namespace {

// Button styles and the static styles whose text wraps (winuser.h).
constexpr unsigned long kButtonType = 0xF, kGroupBox = 7, kStaticType = 0x1F, kStaticRight = 2;

int AtDpi(int pixelsAt96, unsigned dpi) { return static_cast<int>(pixelsAt96 * static_cast<long>(dpi) / 96); }

bool Is(const LaidOutControl& c, const char* className) { return strcasecmp(c.className.c_str(), className) == 0; }
bool IsGroupBox(const LaidOutControl& c) { return Is(c, "Button") && (c.style & kButtonType) == kGroupBox; }
bool IsCheckOrRadio(const LaidOutControl& c) {
  const unsigned long type = c.style & kButtonType;
  return Is(c, "Button") && type >= 2 && type <= 9 && type != kGroupBox && type != 8;  // 8: user button
}

std::string Name(const LaidOutControl& c) {
  return "control " + std::to_string(c.id) + " (" + c.className + " \"" + c.text + "\" at " +
         std::to_string(c.left) + "," + std::to_string(c.top) + "-" + std::to_string(c.right) + "," +
         std::to_string(c.bottom) + ")";
}

bool Contains(const LaidOutControl& outer, const LaidOutControl& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Overlap(const LaidOutControl& a, const LaidOutControl& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The width a control's text may take: its client width less what the
// control draws beside the text (a check box or radio glyph and its gap, a
// push button's frame, a group box's corner).
int TextRoom(const LaidOutControl& c, unsigned dpi) {
  if (IsCheckOrRadio(c)) return c.clientWidth - AtDpi(16, dpi);
  if (IsGroupBox(c)) return c.clientWidth - AtDpi(12, dpi);
  if (Is(c, "Button")) return c.clientWidth - AtDpi(4, dpi);
  return c.clientWidth;
}

bool HasCheckedText(const LaidOutControl& c) {
  return Is(c, "Button") || (Is(c, "Static") && (c.style & kStaticType) <= kStaticRight);
}

}  // namespace

std::vector<std::string> LayoutFaults(const DialogLayout& layout) {
  std::vector<std::string> faults;
  const std::string at = " at " + std::to_string(layout.dpi) + " dpi";
  std::vector<const LaidOutControl*> shown;
  for (const LaidOutControl& c : layout.controls)
    if (c.visible) shown.push_back(&c);
  for (const LaidOutControl* c : shown) {
    if (c->left < 0 || c->top < 0 || c->right > layout.clientWidth || c->bottom > layout.clientHeight)
      faults.push_back(Name(*c) + " lies outside the client area " + std::to_string(layout.clientWidth) + "x" +
                       std::to_string(layout.clientHeight) + at);
    if (HasCheckedText(*c) && !c->text.empty()) {
      if (c->textWidth > TextRoom(*c, layout.dpi))
        faults.push_back(Name(*c) + ": its text is " + std::to_string(c->textWidth) + " px wide, room for " +
                         std::to_string(TextRoom(*c, layout.dpi)) + at);
      if (!IsGroupBox(*c) && c->textHeight > c->clientHeight)
        faults.push_back(Name(*c) + ": its text is " + std::to_string(c->textHeight) + " px high, room for " +
                         std::to_string(c->clientHeight) + at);
    }
    if (c->rowHeight >= 0 && c->rowHeight < c->lineHeight)
      faults.push_back(Name(*c) + ": rows of " + std::to_string(c->rowHeight) + " px for a line of " +
                       std::to_string(c->lineHeight) + at);
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const LaidOutControl& a = *shown[i];
      const LaidOutControl& b = *shown[j];
      if (!Overlap(a, b)) continue;
      if ((IsGroupBox(a) && Contains(a, b)) || (IsGroupBox(b) && Contains(b, a))) continue;
      faults.push_back(Name(a) + " overlaps " + Name(b) + at);
    }
  }
  return faults;
}

}  // namespace vkp::e2e
