// The error box of a failed platform call: the step's prefix formatted with
// the error code, then the system's US-English description of the code.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp::ui {

// `prefixFormat` holds one %d for the code, e.g. "AddMonitor, ERR CODE: %d\n\n".
void ShowErrorBox(const char* prefixFormat, DWORD errorCode, UINT flags = MB_OK | MB_ICONERROR);

}  // namespace vkp::ui
