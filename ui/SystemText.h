// Texts the programs take from the system: string and text resources, and
// the description of an error code.
#pragma once

#include <string>

#include "platform/WinHeaders.h"

namespace vkp::ui {

// A string resource of the program; empty when there is none.
std::string LoadResourceString(UINT id);

// A text the program carries as an RCDATA resource, whole; empty when there
// is none.
std::string LoadResourceText(UINT id);

// The system's US-English description of an error code, as FormatMessage
// gives it (usually ending in CR LF); empty when the system has none.
std::string SystemErrorText(DWORD code);

}  // namespace vkp::ui
