// The application object: one per program. WinMain hands control to its
// start-up (InitInstance); both programs return false from it, so no message
// loop of the application's own follows and the process ends.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/WinHeaders.h"
#include "support/pure/CommandLine.h"

namespace vkp::ui {

class Dialog;

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Start-up. True asks for an application message loop after it.
  virtual bool InitInstance() = 0;

  // Called by WinMain: start-up, then the loop if asked for. Returns the exit code.
  int Run(HINSTANCE instance, const char* commandLine = "");

  HINSTANCE Instance() const { return instance_ ? instance_ : GetModuleHandleA(nullptr); }
  // For programs and tests that do not start through Run.
  void SetBaseName(std::string name) { baseName_ = std::move(name); }
  // The program file's name without folder and extension ("VKPM200_Installer").
  const std::string& BaseName() const { return baseName_; }
  // The command line without the program's name, as WinMain received it.
  const std::string& CommandLine() const { return commandLine_; }
  // The window that refresh messages and message boxes go to.
  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  // What Run returns when start-up ends without a loop (a second copy, a
  // cancelled dialog); the workers end the process with their own codes.
  void SetExitCode(unsigned code) { exitCode_ = code; }

  // Start-up steps both programs take. The first start of the program file
  // goes on; a later one brings the running one's window (the first of
  // `runningTitles` found) forward and sets kExitAlreadyRunning. `starts`
  // lives in the program's shared section.
  bool FirstStart(volatile LONG& starts, std::initializer_list<const char*> runningTitles);
  // The deployment switches of the command line; kExitInvalidParameter when
  // they are not valid for this kind of program.
  bool TakeSwitches(ProgramKind kind, CommandLineOptions& options);
  // Runs the program's main dialog modally. False when it could not be made
  // at all (no desktop to put it on, the desktop heap used up): nothing was
  // done, so the trace says why and the exit code is kExitInstallFailed,
  // never success or a user's cancel.
  bool RunMainDialog(Dialog& dialog);

  static App* Current();

 private:
  HINSTANCE instance_ = nullptr;
  std::string baseName_;
  std::string commandLine_;
  HWND mainWindow_ = nullptr;
  unsigned exitCode_ = 0;
};

}  // namespace vkp::ui
