#include "support/SystemPrograms.h"

#include <string>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {
// net returns before the service has changed state.
constexpr DWORD kSpoolerPauseMs = 2000;
}  // namespace

bool SystemDirectory(char (&directory)[MAX_PATH]) {
  const UINT length = Os().GetSystemDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    // Nothing is started then: say why.
    WriteTraceLog("GetSystemDirectory failed. (%d)", static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  return true;
}

bool SystemProgramPath(const char* program, char (&path)[MAX_PATH]) {
  char directory[MAX_PATH];
  if (!SystemDirectory(directory)) return false;
  const std::string full = std::string(directory) + "\\" + program;
  if (full.size() >= MAX_PATH) return false;
  CopyBounded(path, full.c_str());
  return true;
}

bool NativeSystemProgramPath(const char* program, bool is64Bit, char (&path)[MAX_PATH]) {
  if (!is64Bit) return SystemProgramPath(program, path);
  // Sysnative beside the system directory: GetWindowsDirectory may name a
  // per-user folder on a terminal server, the system directory never does.
  char directory[MAX_PATH];
  if (!SystemDirectory(directory)) return false;
  const std::string system(directory);
  const std::size_t slash = system.find_last_of('\\');
  if (slash == std::string::npos) return false;
  const std::string full = system.substr(0, slash) + "\\Sysnative\\" + program;
  if (full.size() >= MAX_PATH) return false;
  CopyBounded(path, full.c_str());
  return true;
}

bool StartSystemCommand(const char* commandLine) {
  std::string line = commandLine;
  const std::string program = line.substr(0, line.find(' ')) + ".exe";
  char directory[MAX_PATH];
  char path[MAX_PATH];
  if (!SystemDirectory(directory) || !SystemProgramPath(program.c_str(), path)) return false;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  // Started in the system directory, not in ours: a command that outlives us
  // (net waits for the service) must not hold our folder as its current
  // directory, where nothing could remove it, nor search it for DLLs.
  if (!Os().CreateProcessA(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process))
    return false;
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  return true;
}

void StartSpooler() { StartSystemCommand("net start spooler"); }

void StopSpooler() { StartSystemCommand("net stop spooler"); }

void StartSpoolerAndWait() {
  StartSpooler();
  Os().Sleep(kSpoolerPauseMs);
}

void RestartSpooler() {
  StopSpooler();
  Os().Sleep(kSpoolerPauseMs);
  StartSpoolerAndWait();
}

}  // namespace vkp
