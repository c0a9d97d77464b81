// Whether two files hold the same bytes: how an installation recognises the
// files of its own package among what an earlier run left.
#pragma once

namespace vkp {

// False when either file cannot be read.
bool SameFileContents(const char* first, const char* second);

}  // namespace vkp
