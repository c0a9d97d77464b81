// Bounded copying into fixed character buffers: the result is always
// terminated and silently cut where it would not fit.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "platform/Compat.h"

namespace vkp {

// Copies src into dst (capacity cap, terminator included).
void CopyBounded(char* dst, std::size_t cap, const char* src);
// Copies at most n characters of src into dst.
void CopyBoundedN(char* dst, std::size_t cap, const char* src, std::size_t n);
// Appends src to the text already in dst.
void AppendBounded(char* dst, std::size_t cap, const char* src);
// Formats into dst, cut where it would not fit. On Windows this is the
// system C library's formatter (msvcrt, as old as Windows 2000): the
// programs' formats keep to what it shares with C99 (%s, %d, %u, %x, %c with
// flags and widths; no %zu, %lld or %j).
void FormatBounded(char* dst, std::size_t cap, const char* format, ...) VKP_PRINTF_LIKE(3, 4);
void FormatBoundedV(char* dst, std::size_t cap, const char* format, va_list args);

template <std::size_t N>
void CopyBounded(char (&dst)[N], const char* src) { CopyBounded(dst, N, src); }
template <std::size_t N>
void AppendBounded(char (&dst)[N], const char* src) { AppendBounded(dst, N, src); }

}  // namespace vkp
