// The refresh message: posted by the worker to the application's main window,
// whose handler copies the message texts into the controls.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

constexpr UINT kRefreshMessage = WM_USER + 1;

void PostRefreshMessage();

}  // namespace vkp::ui
