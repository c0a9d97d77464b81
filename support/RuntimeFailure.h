// How a program ends when the C++ runtime cannot go on.
#pragma once

namespace vkp {

// One trace entry "RUNTIME FAILURE : <what>" when the trace can still be
// written (no allocation on the way), no box, and the exit code of a failed
// installation (1603), whether anyone is watching or not.
[[noreturn]] void EndForRuntimeFailure(const char* what);

}  // namespace vkp
