#include "support/BoundedText.h"

#include <cstdio>
#include <cstring>

namespace vkp {

void CopyBoundedN(char* dst, std::size_t cap, const char* src, std::size_t n) {
  if (cap == 0) return;
  std::size_t i = 0;
  if (src != nullptr) {
    for (; i + 1 < cap && i < n && src[i] != '\0'; ++i) dst[i] = src[i];
  }
  dst[i] = '\0';
}

void CopyBounded(char* dst, std::size_t cap, const char* src) {
  CopyBoundedN(dst, cap, src, static_cast<std::size_t>(-1));
}

void AppendBounded(char* dst, std::size_t cap, const char* src) {
  if (cap == 0) return;
  std::size_t used = 0;
  while (used < cap && dst[used] != '\0') ++used;
  if (used == cap) {  // not terminated: terminate at the end
    dst[cap - 1] = '\0';
    return;
  }
  CopyBounded(dst + used, cap - used, src);
}

void FormatBoundedV(char* dst, std::size_t cap, const char* format, va_list args) {
  if (cap == 0) return;
#ifdef _WIN32
  // Called by name: the runtime's C99 snprintf would bring its own formatter
  // and its floating-point conversions into the programs. This one leaves
  // the buffer unterminated when the text fills it.
  _vsnprintf(dst, cap - 1, format, args);
  dst[cap - 1] = '\0';
#else
  std::vsnprintf(dst, cap, format, args);
#endif
}

void FormatBounded(char* dst, std::size_t cap, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatBoundedV(dst, cap, format, args);
  va_end(args);
}

}  // namespace vkp
