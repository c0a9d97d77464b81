#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/SystemHelpers.h"

namespace vkp {

namespace {
volatile LONG gRestartStarted = 0;
}  // namespace

bool RestartStarted() { return gRestartStarted != 0; }

int RestartWindows() {
  UniqueHandle token;
  if (!Os().OpenProcessToken(Os().GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                             token.put()))
    return 0;

  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  Os().LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
  Os().AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  // AdjustTokenPrivileges succeeds even when the privilege is not held; only
  // the last error (ERROR_NOT_ALL_ASSIGNED) tells.
  if (Os().GetLastError() != ERROR_SUCCESS) return 0;
  token.reset();

  // Hung applications are closed, the others get the chance to save; the
  // reason marks a planned restart after an installation.
  // The flag is set first: the session's end may reach this process's
  // windows before ExitWindowsEx returns.
  InterlockedExchange(&gRestartStarted, 1);
  if (Os().ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG,
                         SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                             SHTDN_REASON_FLAG_PLANNED))
    return 1;
  InterlockedExchange(&gRestartStarted, 0);
  return 0;
}

}  // namespace vkp
