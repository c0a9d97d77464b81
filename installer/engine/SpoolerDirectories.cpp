#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

namespace {
using DirectoryQuery = BOOL(WINAPI*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);

// One of the spooler's directory queries for an environment; false with a
// trace line when the spooler cannot tell.
bool QueryDirectory(DirectoryQuery query, const char* callName, const std::string& environment,
                    char (&directory)[256]) {
  DWORD needed = 0;
  directory[0] = '\0';
  if (!query(nullptr, const_cast<char*>(environment.c_str()), 1, reinterpret_cast<BYTE*>(directory),
             sizeof directory, &needed) ||
      directory[0] == '\0') {
    WriteTraceLog("%s failed : %s (%d) ", callName, environment.c_str(), static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  directory[sizeof directory - 1] = '\0';
  return true;
}
}  // namespace

// The directories of strEnvironment: on 64-bit Windows the model is installed
// for "Windows x64", while this 32-bit program's own environment is x86.
bool InstallEngine::DriverDirectory(char (&directory)[256]) {
  return QueryDirectory(Os().GetPrinterDriverDirectoryA, "GetPrinterDriverDirectory", strEnvironment, directory);
}

bool InstallEngine::ProcessorDirectory(char (&directory)[256]) {
  return QueryDirectory(Os().GetPrintProcessorDirectoryA, "GetPrintProcessorDirectory", strEnvironment, directory);
}

}  // namespace vkp
