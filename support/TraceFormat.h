// Composition of one trace entry: "HH:MM:SS: " + text (cut at 1013
// characters) + CR LF. Pure, so that it can be tested on any platform.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace vkp {

constexpr std::size_t kTraceLineBufferSize = 1024;  // stamp + text + terminator
constexpr std::size_t kTraceStampLength = 10;       // "HH:MM:SS: "
constexpr std::size_t kTraceMaxTextLength = kTraceLineBufferSize - kTraceStampLength - 1;
constexpr std::size_t kTraceEntryBufferSize = kTraceLineBufferSize + 2;  // room for CR LF

// Writes the entry into `entry` and returns its length in bytes, CR LF
// included (the terminator is not counted).
std::size_t FormatTraceEntry(char (&entry)[kTraceEntryBufferSize], unsigned hour, unsigned minute,
                             unsigned second, const char* format, va_list args);

}  // namespace vkp
