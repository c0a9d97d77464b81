#include "platform/Os.h"
#include "support/SystemProbes.h"
#include "support/TraceLog.h"

namespace vkp {

int IsWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  BOOL wow64 = FALSE;
  // Looked up at run time: systems before WOW64 existed lack the entry.
  HMODULE kernel32 = Os().GetModuleHandleA("kernel32");
  auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(Os().GetProcAddress(kernel32, "IsWow64Process")));
  if (isWow64Process != nullptr) isWow64Process(Os().GetCurrentProcess(), &wow64);

  WriteTraceLog(wow64 ? "The process is running under WOW64."
                      : "The process is not running under WOW64.");
  return wow64;
}

}  // namespace vkp
