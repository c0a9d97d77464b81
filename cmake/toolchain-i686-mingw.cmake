# Cross build of the 32-bit Windows programs with mingw-w64 (posix thread model).
set(VKP_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
