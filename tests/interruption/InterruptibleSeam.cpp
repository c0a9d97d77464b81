// Test builds of the two programs for the interruption bench: the shipped
// sources with this entry point, which wraps every entry of the seam before
// the program starts. Pauses are instant (the bench is about what a killed
// run leaves, not about time), and waits have no limit (printui's under CPU
// emulation takes longer than the programs allow; the bench's own time-out
// still ends a hung run). With VKP_INTERRUPT_AT=k the process is ended
// as a kill ends it (TerminateProcess: no destructor, no exit handler, no
// further trace line) just before its k-th call. With VKP_INTERRUPT_LOG=path
// every call that changes the machine is appended there as "k Name".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <type_traits>

#include "platform/Os.h"
#include "platform/SystemLibrary.h"
#include "ui/App.h"

namespace {

// ERROR_PROCESS_ABORTED: what the bench expects from an interrupted run.
constexpr UINT kInterruptedExit = 1067;

long gCalls = 0;
long gInterruptAt = 0;
char gLogPath[MAX_PATH] = "";
HANDLE gTraceFile = INVALID_HANDLE_VALUE;

void Log(const char* line) {
  if (gLogPath[0] == '\0') return;
  HANDLE log = ::CreateFileA(gLogPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(log, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  ::CloseHandle(log);
}

bool IsTracePath(const char* path) {
  const char* base = path != nullptr ? std::strrchr(path, '\\') : nullptr;
  return base != nullptr && (_stricmp(base, "\\VKP-M200_Installer.txt") == 0 ||
                             _stricmp(base, "\\VKP-M200_UnInstaller.txt") == 0);
}

// The calls after which the machine differs from before them; writes to the
// trace file do not count.
template <typename First>
bool ChangesTheMachine(const char* name, First first) {
  static const char* const kChanging[] = {
      "CreateFileA", "WriteFile", "DeleteFileA", "CopyFileA", "MoveFileA", "MoveFileExA", "CreateDirectoryA",
      "RemoveDirectoryA", "SetFileAttributesA", "CreateProcessA", "RegCreateKeyExA", "RegSetValueExA",
      "RegDeleteValueA", "RegDeleteKeyA", "SHDeleteKeyA", "SetSecurityInfo", "SetupCopyOEMInfA",
      "SetupDiRemoveDevice", "AddPrinterA", "DeletePrinter", "AddPrinterDriverA", "DeletePrinterDriverExA",
      "AddMonitorA", "DeleteMonitorA", "AddPrintProcessorA", "DeletePrintProcessorA", "XcvDataW", "SetJobA",
      "DeleteFormA"};
  bool listed = false;
  for (const char* changing : kChanging) listed = listed || std::strcmp(name, changing) == 0;
  if constexpr (std::is_same_v<First, LPCSTR>) {
    if (IsTracePath(first)) return false;  // the trace file made, or its previous copy deleted
  } else if constexpr (std::is_same_v<First, HANDLE>) {
    if (first == gTraceFile) return false;
  }
  return listed;
}

// Counts the call, ends the process at the chosen one, and lists the
// changes (the bench's points are just after them).
template <typename First>
void Arrive(const char* name, First first) {
  const long call = ++gCalls;
  char line[128];
  if (call == gInterruptAt) {
    std::snprintf(line, sizeof line, "interrupted before %ld %s\n", call, name);
    Log(line);
    ::TerminateProcess(::GetCurrentProcess(), kInterruptedExit);
  }
  if (!ChangesTheMachine(name, first)) return;
  std::snprintf(line, sizeof line, "%ld %s\n", call, name);
  Log(line);
}
inline void Arrive(const char* name) { Arrive<int>(name, 0); }

enum Index {
#define VKP_INTERRUPT_INDEX(name, failKind) k##name##Index,
  VKP_OS_FUNCTIONS(VKP_INTERRUPT_INDEX)
#undef VKP_INTERRUPT_INDEX
};

template <int Slot, typename Fn>
struct Wrapped;

template <int Slot, typename R, typename... Args>
struct Wrapped<Slot, R(WINAPI*)(Args...)> {
  static inline R(WINAPI* original)(Args...) = nullptr;
  static inline const char* name = "";
  static R WINAPI Call(Args... args) {
    if constexpr (sizeof...(Args) == 0) {
      Arrive(name);
    } else {
      Arrive(name, std::get<0>(std::tuple<Args...>(args...)));
    }
    if constexpr (Slot == kSleepIndex) return;
    if constexpr (Slot == kWaitForSingleObjectIndex) return original(std::get<0>(std::tuple<Args...>(args...)), INFINITE);
    if constexpr (std::is_void_v<R>) {
      original(args...);
    } else {
      const R result = original(args...);
      if constexpr (std::is_same_v<R, HANDLE> && sizeof...(Args) > 0) {
        using First = std::tuple_element_t<0, std::tuple<Args...>>;
        if constexpr (std::is_same_v<First, LPCSTR>) {
          if (std::strcmp(name, "CreateFileA") == 0 && IsTracePath(std::get<0>(std::tuple<Args...>(args...))))
            gTraceFile = result;
        }
      }
      return result;
    }
  }
};

void WrapSeam() {
  char value[32] = "";
  const DWORD length = ::GetEnvironmentVariableA("VKP_INTERRUPT_AT", value, sizeof value);
  if (length > 0 && length < sizeof value) gInterruptAt = std::strtol(value, nullptr, 10);
  const DWORD logLength = ::GetEnvironmentVariableA("VKP_INTERRUPT_LOG", gLogPath, MAX_PATH);
  if (logLength >= MAX_PATH) gLogPath[0] = '\0';
  vkp::PlatformApi& api = vkp::Os();
#define VKP_INTERRUPT_WRAP(entry, failKind)                                       \
  Wrapped<k##entry##Index, decltype(&::entry)>::original = api.entry;             \
  Wrapped<k##entry##Index, decltype(&::entry)>::name = #entry;                    \
  api.entry = &Wrapped<k##entry##Index, decltype(&::entry)>::Call;
  VKP_OS_FUNCTIONS(VKP_INTERRUPT_WRAP)
#undef VKP_INTERRUPT_WRAP
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  vkp::RestrictDllSearchToSystem();
  WrapSeam();
  vkp::ui::App* app = vkp::ui::App::Current();
  return app != nullptr ? app->Run(instance, commandLine) : 1;
}
