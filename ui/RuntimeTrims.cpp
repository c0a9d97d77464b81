// Program-only replacements for parts of the C++ runtime that a static link
// would otherwise carry for messages nobody can read: these are window
// programs without a console. Each keeps what the original does to the
// process.
#include <cstdlib>

// Ends the process as the default handler does, without printing the
// exception's demangled name (saves the demangler).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
