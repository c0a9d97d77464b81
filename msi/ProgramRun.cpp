#include "msi/ProgramRun.h"

#include "platform/Os.h"
#include "platform/UniqueHandles.h"

namespace vkp {

bool RunProgramToEnd(const std::string& commandLine, unsigned long& exitCode, unsigned long& error) {
  exitCode = 0;
  error = ERROR_SUCCESS;
  // The program by its full path, never by a search.
  const std::size_t end = commandLine.find('"', 1);
  if (commandLine.empty() || commandLine[0] != '"' || end == std::string::npos) {
    error = ERROR_BAD_PATHNAME;
    return false;
  }
  const std::string program = commandLine.substr(1, end - 1);
  std::string line = commandLine;  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!Os().CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
    error = Os().GetLastError();
    return false;
  }
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  // No limit of our own: the programs bound every wait of theirs (printui
  // ends with its own exit code), and Windows Installer bounds none.
  DWORD code = 0;
  if (Os().WaitForSingleObject(processHandle.get(), INFINITE) != WAIT_OBJECT_0 ||
      !Os().GetExitCodeProcess(processHandle.get(), &code)) {
    error = Os().GetLastError();
    return false;
  }
  exitCode = code;
  return true;
}

}  // namespace vkp
