#include "support/pure/TextCompare.h"

namespace vkp {

namespace {
char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool EqualNoCaseN(const char* a, const char* b, std::size_t n) {
  if (a == nullptr || b == nullptr) return a == b;
  for (std::size_t i = 0; i < n; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    if (a[i] == '\0') return true;  // both ended here
  }
  return true;
}

bool EqualNoCase(const char* a, const char* b) {
  return EqualNoCaseN(a, b, static_cast<std::size_t>(-1));
}

}  // namespace vkp
