#include "ui/MessageBox.h"

#include "platform/Os.h"
#include "ui/App.h"

namespace vkp::ui {

int ShowMessageBox(const char* text, UINT flags, HWND owner) {
  App* app = App::Current();
  if (owner == nullptr && app != nullptr) owner = app->MainWindow();
  const char* caption = app != nullptr ? app->BaseName().c_str() : "";
  return Os().MessageBoxA(owner, text, caption, flags);
}

}  // namespace vkp::ui
