#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "platform/Os.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

int InstallEngine::AddLanguageMonitor() {
  TraceScope trace("AddLanguageMonitor");
  ReportStep("Installing L/M...\r\n");

  // The 64-bit spooler loads a 64-bit monitor from the Windows directory
  // (this 32-bit program's system directory is redirected to SysWOW64).
  char folder[256] = {};
  if (bIs64Bit) {
    Os().GetWindowsDirectoryA(folder, sizeof folder);
  } else {
    Os().GetSystemDirectoryA(folder, sizeof folder);
  }
  const std::string source = strDriverDir + strMonitorDLL;
  if (folder[0] == '\0') {
    WriteTraceLog("No folder for the monitor : %s (%d) ", source.c_str(), static_cast<int>(Os().GetLastError()));
  } else {
    char target[256] = {};
    CopyBounded(target, folder);
    AppendBounded(target, "\\");
    AppendBounded(target, strMonitorDLL.c_str());
    const BOOL copied = Os().CopyFileA(source.c_str(), target, FALSE);
    const DWORD copyError = Os().GetLastError();
    WriteTraceLog("FILE SRC : %s", source.c_str());
    if (!copied) CopyFileErrorHandler(source.c_str(), target, copyError);
  }

  MONITOR_INFO_2A monitor{};
  monitor.pName = const_cast<char*>(strMonitorName.c_str());
  monitor.pEnvironment = const_cast<char*>(strEnvironment.c_str());
  monitor.pDLLName = const_cast<char*>(strMonitorDLL.c_str());
  if (!Os().AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&monitor))) {
    const DWORD error = Os().GetLastError();
    if (error != ERROR_PRINT_MONITOR_ALREADY_INSTALLED) {
      ui::ShowErrorBox("AddMonitor, ERR CODE: %d\n\n", error);
      return 0;
    }
  }
  return 1;
}

}  // namespace vkp
