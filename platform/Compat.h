// Compiler compatibility: the only place that holds compiler-specific
// constructs. Everything else is plain C++17 that GCC (mingw-w64) and MSVC
// both accept.
#pragma once

#if defined(__GNUC__)
// A variable placed in the section "DataSeg", shared by every process started
// from the same program file (the linker marks the section SHARED).
#define VKP_SHARED_SECTION_BEGIN
#define VKP_SHARED_VAR __attribute__((section("DataSeg"), shared))
#define VKP_SHARED_SECTION_END
// printf-style argument checking for trace entries.
#if defined(__clang__)
#define VKP_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define VKP_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(gnu_printf, fmtIndex, firstArg)))
#endif
// After a call that ends the process.
#define VKP_UNREACHABLE() __builtin_unreachable()
#elif defined(_MSC_VER)
#define VKP_SHARED_SECTION_BEGIN __pragma(data_seg("DataSeg"))
#define VKP_SHARED_VAR
#define VKP_SHARED_SECTION_END __pragma(data_seg()) __pragma(comment(linker, "/SECTION:DataSeg,RWS"))
#define VKP_PRINTF_LIKE(fmtIndex, firstArg)
#define VKP_UNREACHABLE() __assume(0)
#else
#define VKP_SHARED_SECTION_BEGIN
#define VKP_SHARED_VAR
#define VKP_SHARED_SECTION_END
#define VKP_PRINTF_LIKE(fmtIndex, firstArg)
#define VKP_UNREACHABLE() std::abort()
#endif
