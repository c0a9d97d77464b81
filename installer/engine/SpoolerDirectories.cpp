#include "installer/InstallEngine.h"
#include "platform/Os.h"
#include "support/TraceLog.h"

namespace vkp {

// The directories of strEnvironment: on 64-bit Windows the model is installed
// for "Windows x64", while this 32-bit program's own environment is x86.
bool InstallEngine::DriverDirectory(char (&directory)[256]) {
  DWORD needed = 0;
  directory[0] = '\0';
  if (!Os().GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(strEnvironment.c_str()), 1,
                                       reinterpret_cast<BYTE*>(directory), sizeof directory, &needed) ||
      directory[0] == '\0') {
    WriteTraceLog("GetPrinterDriverDirectory failed : %s (%d) ", strEnvironment.c_str(),
                  static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  directory[sizeof directory - 1] = '\0';
  return true;
}

bool InstallEngine::ProcessorDirectory(char (&directory)[256]) {
  DWORD needed = 0;
  directory[0] = '\0';
  if (!Os().GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(strEnvironment.c_str()), 1,
                                        reinterpret_cast<BYTE*>(directory), sizeof directory, &needed) ||
      directory[0] == '\0') {
    WriteTraceLog("GetPrintProcessorDirectory failed : %s (%d) ", strEnvironment.c_str(),
                  static_cast<int>(Os().GetLastError()));
    directory[0] = '\0';
    return false;
  }
  directory[sizeof directory - 1] = '\0';
  return true;
}

}  // namespace vkp
