#include "support/TraceFormat.h"

#include <cstring>

#include "support/BoundedText.h"

namespace vkp {

std::size_t FormatTraceEntry(char (&entry)[kTraceEntryBufferSize], unsigned hour, unsigned minute,
                             unsigned second, const char* format, va_list args) {
  // The stamp always takes 10 characters: the fields are clamped to two digits.
  FormatBounded(entry, kTraceStampLength + 1, "%02u:%02u:%02u: ", hour % 100, minute % 100,
                second % 100);
  char* text = entry + kTraceStampLength;
  text[0] = '\0';
  if (format != nullptr) {
    FormatBoundedV(text, kTraceMaxTextLength + 1, format, args);
  }
  std::size_t length = std::strlen(entry);
  entry[length++] = '\r';
  entry[length++] = '\n';
  entry[length] = '\0';
  return length;
}

}  // namespace vkp
