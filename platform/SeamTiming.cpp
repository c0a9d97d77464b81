#include "platform/SeamTiming.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
  const double toMs = 1000.0 / static_cast<double>(gFrequency.QuadPart);
  std::fprintf(report, "lifetime %.1f\n", static_cast<double>(now.QuadPart - gStart.QuadPart) * toMs);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (gCalls[slot] == 0) continue;
    std::fprintf(report, "%s %lld %.1f\n", kSlotNames[slot], gCalls[slot].load(),
                 static_cast<double>(gTicks[slot].load()) * toMs);
  }
  std::fclose(report);
}

template <int SlotIndex, typename Fn>
struct Timed;

template <int SlotIndex, typename R, typename... Args>
struct Timed<SlotIndex, R(WINAPI*)(Args...)> {
  static inline R(WINAPI* original)(Args...) = nullptr;
  static R WINAPI Call(Args... args) {
    // The process ends inside ExitProcess: the report is written first.
    if constexpr (SlotIndex == kExitProcessSlot) WriteReport();
    LARGE_INTEGER before{};
    ::QueryPerformanceCounter(&before);
    struct Count {
      LARGE_INTEGER from;
      ~Count() {
        LARGE_INTEGER after{};
        ::QueryPerformanceCounter(&after);
        gCalls[SlotIndex] += 1;
        gTicks[SlotIndex] += after.QuadPart - from.QuadPart;
      }
    } count{before};
    return original(args...);
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
