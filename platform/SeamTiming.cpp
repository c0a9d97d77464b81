#include "platform/SeamTiming.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "platform/Os.h"

namespace vkp {

namespace {

enum Slot {
#define VKP_TIMING_SLOT(name, failKind) k##name##Slot,
  VKP_OS_FUNCTIONS(VKP_TIMING_SLOT)
#undef VKP_TIMING_SLOT
      kSlotCount
};

const char* const kSlotNames[] = {
#define VKP_TIMING_NAME(name, failKind) #name,
    VKP_OS_FUNCTIONS(VKP_TIMING_NAME)
#undef VKP_TIMING_NAME
};

std::atomic<long long> gCalls[kSlotCount];
std::atomic<long long> gTicks[kSlotCount];
LARGE_INTEGER gStart{};
LARGE_INTEGER gFrequency{};
char gReportPath[MAX_PATH] = "";
std::atomic<bool> gWritten{false};

void WriteReport() {
  if (gWritten.exchange(true)) return;
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  FILE* report = std::fopen(gReportPath, "w");
  if (report == nullptr) return;
  // Milliseconds, as integers: the figures need no fractions.
  const long long perMs = gFrequency.QuadPart / 1000 > 0 ? gFrequency.QuadPart / 1000 : 1;
  std::fprintf(report, "lifetime %lld\n", (now.QuadPart - gStart.QuadPart) / perMs);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (gCalls[slot] == 0) continue;
    std::fprintf(report, "%s %lld %lld\n", kSlotNames[slot], gCalls[slot].load(), gTicks[slot].load() / perMs);
  }
  std::fclose(report);
}

// Out of line: one copy for all the wrappers below.
__attribute__((noinline)) void Count(int slot, long long before) {
  LARGE_INTEGER after{};
  ::QueryPerformanceCounter(&after);
  gCalls[slot] += 1;
  gTicks[slot] += after.QuadPart - before;
}

__attribute__((noinline)) long long Now() {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

template <int SlotIndex, typename Fn>
struct Timed;

template <int SlotIndex, typename R, typename... Args>
struct Timed<SlotIndex, R(WINAPI*)(Args...)> {
  static inline R(WINAPI* original)(Args...) = nullptr;
  static R WINAPI Call(Args... args) {
    // The process ends inside ExitProcess: the report is written first.
    if constexpr (SlotIndex == kExitProcessSlot) WriteReport();
    const long long before = Now();
    if constexpr (std::is_void_v<R>) {
      original(args...);
      Count(SlotIndex, before);
    } else {
      const R result = original(args...);
      Count(SlotIndex, before);
      return result;
    }
  }
};

}  // namespace

void EnableSeamTimingFromEnvironment() {
  char folder[MAX_PATH] = "";
  const DWORD length = ::GetEnvironmentVariableA("VKP_SEAM_TIMING", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char program[MAX_PATH] = "";
  const DWORD programLength = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (programLength == 0 || programLength >= MAX_PATH) return;
  const char* base = std::strrchr(program, '\\');
  base = base != nullptr ? base + 1 : program;
  if (std::snprintf(gReportPath, sizeof gReportPath, "%s\\%s.timing", folder, base) >= static_cast<int>(MAX_PATH))
    return;
  ::QueryPerformanceFrequency(&gFrequency);
  ::QueryPerformanceCounter(&gStart);
  PlatformApi& api = Os();
#define VKP_WRAP_ENTRY(name, failKind)                                   \
  Timed<k##name##Slot, decltype(&::name)>::original = api.name;          \
  api.name = &Timed<k##name##Slot, decltype(&::name)>::Call;
  VKP_OS_FUNCTIONS(VKP_WRAP_ENTRY)
#undef VKP_WRAP_ENTRY
  std::atexit(WriteReport);
}

}  // namespace vkp
