// Bounded copying into fixed character buffers: the result is always
// terminated and silently cut where it would not fit.
#pragma once

#include <cstddef>

namespace vkp {

// Copies src into dst (capacity cap, terminator included).
void CopyBounded(char* dst, std::size_t cap, const char* src);
// Copies at most n characters of src into dst.
void CopyBoundedN(char* dst, std::size_t cap, const char* src, std::size_t n);
// Appends src to the text already in dst.
void AppendBounded(char* dst, std::size_t cap, const char* src);

template <std::size_t N>
void CopyBounded(char (&dst)[N], const char* src) { CopyBounded(dst, N, src); }
template <std::size_t N>
void AppendBounded(char (&dst)[N], const char* src) { AppendBounded(dst, N, src); }

}  // namespace vkp
