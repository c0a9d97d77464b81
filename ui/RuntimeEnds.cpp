// The programs are built without exceptions, and nothing in them could catch
// one. Where the C++ runtime would throw (an allocation that cannot be
// satisfied, a misused string or container, an empty function object) or
// terminate (a pure virtual call), the program ends the exit-code contract's
// way instead (EndForRuntimeFailure): the runtime's own way out, abort(),
// shows a "Runtime Error" box even when nobody is there to close it and ends
// with 3. Only the runtime's throw helpers, its default terminate handler
// (whose message printing would bring the demangler and the C99 formatter
// into a program without a console) and the replaceable allocation operators
// are defined here.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "support/RuntimeFailure.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() { vkp::EndForRuntimeFailure("terminate called"); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { vkp::EndForRuntimeFailure("out of memory"); }
void __throw_bad_array_new_length() { vkp::EndForRuntimeFailure("out of memory"); }
void __throw_length_error(const char*) { vkp::EndForRuntimeFailure("string or container misused"); }
void __throw_logic_error(const char*) { vkp::EndForRuntimeFailure("string or container misused"); }
void __throw_out_of_range_fmt(const char*, ...) { vkp::EndForRuntimeFailure("string or container misused"); }
void __throw_bad_function_call() { vkp::EndForRuntimeFailure("empty function called"); }
}  // namespace std

extern "C" void __cxa_pure_virtual() { vkp::EndForRuntimeFailure("pure virtual call"); }

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  vkp::EndForRuntimeFailure("out of memory");
}
void* operator new[](std::size_t size) { return ::operator new(size); }
