// Message boxes captioned with the program's base file name, owned by the
// given window or else the application's main window. In unattended runs
// (/quiet, /passive) a box is traced instead and takes its default answer.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

int ShowMessageBox(const char* text, UINT flags, HWND owner = nullptr);

}  // namespace vkp::ui
