#include "ui/RefreshMessage.h"

#include "ui/App.h"

namespace vkp::ui {

void PostRefreshMessage() {
  App* app = App::Current();
  if (app != nullptr && app->MainWindow() != nullptr)
    PostMessageA(app->MainWindow(), kRefreshMessage, 0, 0);
}

}  // namespace vkp::ui
