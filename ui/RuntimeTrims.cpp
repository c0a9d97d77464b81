// Program-only replacements for parts of the C++ runtime that a static link
// would otherwise carry for messages nobody can read: these are window
// programs without a console. Each keeps what the original does to the
// process.
#include <cstdlib>
#include <exception>
#include <new>

// Ends the process as the default handler does, without printing the
// exception's demangled name (saves the demangler).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The library's error paths for misuse of strings and containers: nothing in
// the programs catches these, so they terminate as an uncaught exception
// would. Allocation failures are still thrown (their callers handle them).
namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_length_error(const char*) { std::terminate(); }
void __throw_logic_error(const char*) { std::terminate(); }
void __throw_out_of_range_fmt(const char*, ...) { std::terminate(); }
}  // namespace std
