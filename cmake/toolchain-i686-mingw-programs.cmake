# The shipped programs: 32-bit, win32 thread model. Its runtime keeps the
# guards of function-local statics and thread-local storage on Windows' own
# primitives, without the POSIX thread layer that would make each program a
# third larger. The tests keep the posix model (toolchain-i686-mingw.cmake):
# they need std::thread and std::mutex, which this model's runtime lacks.
set(VKP_MINGW_TARGET i686-w64-mingw32)
set(VKP_MINGW_THREADS win32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
