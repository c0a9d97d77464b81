#include "ui/App.h"

#include "platform/Os.h"
#include "support/ExitCodes.h"
#include "support/TraceLog.h"
#include "ui/Deployment.h"
#include "ui/Dialog.h"
#include "ui/InstanceActivation.h"

namespace vkp::ui {

namespace {
App* gCurrentApp = nullptr;

std::string ModuleBaseName(HINSTANCE instance) {
  char path[MAX_PATH] = "";
  Os().GetModuleFileNameA(instance, path, MAX_PATH);
  std::string name(path);
  const auto slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}
}  // namespace

App::App() { gCurrentApp = this; }

App::~App() {
  if (gCurrentApp == this) gCurrentApp = nullptr;
}

App* App::Current() { return gCurrentApp; }

int App::Run(HINSTANCE instance, const char* commandLine) {
  instance_ = instance;
  commandLine_ = commandLine != nullptr ? commandLine : "";
  baseName_ = ModuleBaseName(instance);

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  if (!InitInstance()) return static_cast<int>(exitCode_);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool App::FirstStart(volatile LONG& starts, std::initializer_list<const char*> runningTitles) {
  if (InterlockedIncrement(&starts) == 1) return true;
  ActivateRunningInstance(runningTitles);
  SetExitCode(kExitAlreadyRunning);
  return false;
}

bool App::TakeSwitches(ProgramKind kind, CommandLineOptions& options) {
  if (TakeDeploymentSwitches(CommandLine().c_str(), kind, options)) return true;
  SetExitCode(kExitInvalidParameter);
  return false;
}

bool App::RunMainDialog(Dialog& dialog) {
  dialog.DoModal();
  if (!dialog.NotCreated()) return true;
  const DWORD error = Os().GetLastError();
  if (TraceLogPath()[0] == '\0') InitTraceLog();
  WriteTraceLog("The dialog could not be created. (%d)", static_cast<int>(error));
  SetExitCode(kExitInstallFailed);
  return false;
}

}  // namespace vkp::ui
