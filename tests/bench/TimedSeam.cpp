// Test builds of the two programs for scripts/bench: the shipped sources
// with this entry point, which, with the environment variable
// VKP_SEAM_TIMING set to a folder, wraps every entry of the seam to count
// its calls and the time spent inside it, and writes
// "<folder>\<program>.timing" when the program ends. Only these builds read
// the variable: the shipped programs carry no switch that the environment
// (which a standard user sets for their own elevated processes) could turn on.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "platform/Os.h"
#include "platform/SystemLibrary.h"
#include "ui/App.h"

namespace vkp {

namespace {

enum Slot {
#define VKP_TIMING_SLOT(name, failKind) k##name##Slot,
  VKP_OS_FUNCTIONS(VKP_TIMING_SLOT)
#undef VKP_TIMING_SLOT
      kSlotCount
};

// The entries' names one after the other, each ended by its NUL.
constexpr char kSlotNames[] =
#define VKP_TIMING_NAME(name, failKind) #name "\0"
    VKP_OS_FUNCTIONS(VKP_TIMING_NAME)
#undef VKP_TIMING_NAME
    ;

using Entry = void (*)();
static_assert(sizeof(PlatformApi) == kSlotCount * sizeof(Entry), "the seam is a table of function pointers");

// Allocated when timing is switched on: a program without it carries no
// counters.
struct Timing {
  Entry originals[kSlotCount];
  LONG calls[kSlotCount];
  long long ticks[kSlotCount];
  long long start;
  long long ticksPerMs;
  LONG written;
  char reportPath[MAX_PATH];
};
Timing* gTiming = nullptr;

long long Now() {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

void Count(int slot, long long before) {
  const long long ticks = Now() - before;
  ::InterlockedIncrement(&gTiming->calls[slot]);
  __atomic_fetch_add(&gTiming->ticks[slot], ticks, __ATOMIC_RELAXED);
}

char* Append(char* out, const char* text) {
  while (*text != '\0') *out++ = *text++;
  return out;
}

char* AppendNumber(char* out, long long value) {
  if (value < 0) {
    *out++ = '-';
    value = -value;
  }
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Milliseconds, as integers: the figures need no fractions. Direct system
// calls: the seam's own entries are the ones being counted.
void WriteReport() {
  Timing& timing = *gTiming;
  if (::InterlockedExchange(&timing.written, 1) != 0) return;
  const long long lifetime = Now() - timing.start;
  const HANDLE report =
      ::CreateFileA(timing.reportPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (report == INVALID_HANDLE_VALUE) return;
  char line[128];
  char* end = AppendNumber(Append(line, "lifetime "), lifetime / timing.ticksPerMs);
  const char* name = kSlotNames;
  for (int slot = -1; slot < kSlotCount; ++slot) {
    if (slot >= 0) {
      const char* const current = name;
      name += std::strlen(name) + 1;
      if (timing.calls[slot] == 0) continue;
      end = AppendNumber(Append(Append(line, current), " "), timing.calls[slot]);
      end = AppendNumber(Append(end, " "), __atomic_load_n(&timing.ticks[slot], __ATOMIC_RELAXED) / timing.ticksPerMs);
    }
    end = Append(end, "\r\n");
    DWORD written = 0;
    ::WriteFile(report, line, static_cast<DWORD>(end - line), &written, nullptr);
  }
  ::CloseHandle(report);
}

}  // namespace

#if defined(__i386__)

// On x86 every entry is a __stdcall function, so one small piece of code
// serves them all: entry N of the table below calls into the shared part,
// which looks up the system function, lets it return to the shared part
// instead of its caller, counts the call and then returns to the caller. The
// caller's return address waits on a per-thread stack (calls nest through
// window procedures). Registers and the last error are left as the system
// function left them.
extern "C" const unsigned char vkpSeamThunks[] __asm__("vkp_seam_thunks");
extern "C" const unsigned char vkpSeamThunksEnd[] __asm__("vkp_seam_thunks_end");
constexpr std::ptrdiff_t kThunkSize = 5;  // call rel32

#define VKP_TIMING_THUNK(name, failKind) "  call vkp_seam_common\n"
asm(".section .text$vkp_seam_timing,\"xr\"\n"
    "  .globl vkp_seam_thunks\n"
    "vkp_seam_thunks:\n"
    VKP_OS_FUNCTIONS(VKP_TIMING_THUNK)
    "  .globl vkp_seam_thunks_end\n"
    "vkp_seam_thunks_end:\n"
    // [esp]: the end of the entry's thunk; [esp+4]: the caller's return address.
    "vkp_seam_common:\n"
    "  call vkp_seam_enter\n"  // eax: the system function; edx: nonzero when counted
    "  addl $4, %esp\n"
    "  testl %edx, %edx\n"
    "  jz 1f\n"
    "  movl $vkp_seam_return, (%esp)\n"
    "1:\n"
    "  jmp *%eax\n"
    "vkp_seam_return:\n"
    "  pushl %eax\n"
    "  pushl %edx\n"
    "  call vkp_seam_leave\n"  // eax: the caller's return address
    "  movl %eax, %ecx\n"
    "  popl %edx\n"
    "  popl %eax\n"
    "  jmp *%ecx\n"
    "  .text\n");
#undef VKP_TIMING_THUNK

namespace {

struct PendingCall {
  void* resume;
  int slot;
  long long before;
};

// Deeper nesting than this is not counted.
constexpr int kMaxPending = 32;

struct PendingCalls {
  int depth;
  PendingCall calls[kMaxPending];
};

thread_local PendingCalls tPending;

}  // namespace

// Called by the shared part above (C calling convention); the result's low
// half is the system function, its high half whether the call is counted.
extern "C" __attribute__((used)) std::uint64_t SeamEnter(const unsigned char* thunkEnd, void* resume) __asm__(
    "vkp_seam_enter");
extern "C" __attribute__((used)) void* SeamLeave() __asm__("vkp_seam_leave");

std::uint64_t SeamEnter(const unsigned char* thunkEnd, void* resume) {
  const int slot = static_cast<int>((thunkEnd - vkpSeamThunks) / kThunkSize) - 1;
  // The process ends inside ExitProcess: the report is written first.
  if (slot == kExitProcessSlot) WriteReport();
  const auto original = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(gTiming->originals[slot]));
  PendingCalls& pending = tPending;
  if (pending.depth == kMaxPending) return original;
  PendingCall& call = pending.calls[pending.depth++];
  call.resume = resume;
  call.slot = slot;
  call.before = Now();
  return original | (std::uint64_t{1} << 32);
}

void* SeamLeave() {
  PendingCalls& pending = tPending;
  const PendingCall& call = pending.calls[--pending.depth];
  Count(call.slot, call.before);
  return call.resume;
}

namespace {

bool BindTimedEntries(Entry (&entries)[kSlotCount]) {
  if (vkpSeamThunksEnd - vkpSeamThunks != kSlotCount * kThunkSize) return false;
  for (int slot = 0; slot < kSlotCount; ++slot)
    entries[slot] = reinterpret_cast<Entry>(reinterpret_cast<std::uintptr_t>(vkpSeamThunks + slot * kThunkSize));
  return true;
}

}  // namespace

#else  // One wrapper per entry where the calling conventions differ.

namespace {

template <int SlotIndex, typename Fn>
struct Timed;

template <int SlotIndex, typename R, typename... Args>
struct Timed<SlotIndex, R(WINAPI*)(Args...)> {
  static R WINAPI Call(Args... args) {
    if constexpr (SlotIndex == kExitProcessSlot) WriteReport();
    const auto original = reinterpret_cast<R(WINAPI*)(Args...)>(gTiming->originals[SlotIndex]);
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

bool BindTimedEntries(Entry (&entries)[kSlotCount]) {
#define VKP_TIMED_ENTRY(name, failKind) \
  entries[k##name##Slot] = reinterpret_cast<Entry>(&Timed<k##name##Slot, decltype(&::name)>::Call);
  VKP_OS_FUNCTIONS(VKP_TIMED_ENTRY)
#undef VKP_TIMED_ENTRY
  return true;
}

}  // namespace

#endif

namespace {

void EnableSeamTimingFromEnvironment() {
  char folder[MAX_PATH] = "";
  const DWORD length = ::GetEnvironmentVariableA("VKP_SEAM_TIMING", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char program[MAX_PATH] = "";
  const DWORD programLength = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (programLength == 0 || programLength >= MAX_PATH) return;
  const char* base = std::strrchr(program, '\\');
  base = base != nullptr ? base + 1 : program;
  static const char kSuffix[] = ".timing";
  if (length + 1 + std::strlen(base) + sizeof kSuffix > MAX_PATH) return;
  Entry timed[kSlotCount];
  if (!BindTimedEntries(timed)) return;
  auto* timing = static_cast<Timing*>(std::calloc(1, sizeof(Timing)));
  if (timing == nullptr) return;
  Append(Append(Append(Append(timing->reportPath, folder), "\\"), base), kSuffix)[0] = '\0';
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  timing->ticksPerMs = frequency.QuadPart / 1000 > 0 ? frequency.QuadPart / 1000 : 1;
  timing->start = Now();
  gTiming = timing;
  PlatformApi& api = Os();
  std::memcpy(timing->originals, &api, sizeof timing->originals);
  std::memcpy(&api, timed, sizeof timed);
  std::atexit(WriteReport);
}

}  // namespace

}  // namespace vkp

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  vkp::RestrictDllSearchToSystem();
  vkp::EnableSeamTimingFromEnvironment();
  vkp::ui::App* app = vkp::ui::App::Current();
  return app != nullptr ? app->Run(instance, commandLine) : 1;
}
