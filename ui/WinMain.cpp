// Program entry: the application object defined by each program does the rest.
#include "ui/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  vkp::ui::App* app = vkp::ui::App::Current();
  return app != nullptr ? app->Run(instance) : 1;
}
