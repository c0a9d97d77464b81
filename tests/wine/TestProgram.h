// Program-level pieces that a Windows test program supplies itself: the
// trace log's file name (settable) and an application object.
#pragma once

#include <string>

#include "tests/wine/TraceReading.h"
#include "ui/App.h"

namespace vkp::test {

// The name InitTraceLog composes the log path with; default "VKP-M200_Installer.txt".
void SetTraceLogFileName(const std::string& name);

// `name` in the current directory: where the engine takes the installer's files.
std::string InStartFolder(const std::string& name);

// True when `path` names a program in the system directory by its full path
// (a program started by a bare name could come from the start folder).
bool IsSystemProgram(const char* path);

// An application object for tests: no start-up of its own, base name as given.
class TestApp : public ui::App {
 public:
  explicit TestApp(const std::string& baseName) { SetBaseName(baseName); }
  bool InitInstance() override { return false; }
};

}  // namespace vkp::test
