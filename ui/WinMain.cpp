// Program entry: the application object defined by each program does the rest.
#include "platform/SystemLibrary.h"
#include "ui/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything can load a DLL from the program's (user-writable) folder.
  vkp::RestrictDllSearchToSystem();
  vkp::ui::App* app = vkp::ui::App::Current();
  return app != nullptr ? app->Run(instance, commandLine) : 1;
}
