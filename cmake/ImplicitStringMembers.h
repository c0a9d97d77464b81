// Forced into every C++ source of a size build (CMakeLists.txt). The C++
// library declares std::string and std::wstring as instantiated in the
// library itself, so a static program links that object whole (over 30 KB);
// with this value (the library's own setting for its checked mode, without
// the checks) each source instantiates only the members it uses, and the
// link keeps one copy of each.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
