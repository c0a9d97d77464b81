// The progress reporting convention of both programs: the message text, the
// bar (one step, or its end), a refresh of the main window, then a pause.
#pragma once

#include "platform/WinHeaders.h"
#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp::ui {

enum class BarChange { None, Step, End };

// message and bar may be null (an engine not wired to a dialog); no pause for 0.
void ReportProgress(SharedText* message, ProgressBar* bar, const char* text, BarChange change, DWORD pauseMs);

}  // namespace vkp::ui
