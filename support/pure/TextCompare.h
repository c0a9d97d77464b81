// Letter-case-blind comparison of plain ASCII texts (registry root names,
// device hardware ids). Pure.
#pragma once

#include <cstddef>

namespace vkp {

// True when a and b are the same text, ignoring ASCII letter case.
bool EqualNoCase(const char* a, const char* b);

// Like EqualNoCase, but looks at no more than the first n characters of
// each text: texts that agree on their first n characters are equal, and so
// are shorter texts that end together. Never reads past a terminator.
bool EqualNoCaseN(const char* a, const char* b, std::size_t n);

}  // namespace vkp
