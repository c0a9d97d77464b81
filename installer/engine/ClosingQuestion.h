// The closing question of a new installation: USB printers are switched off
// and on; for every other port a restart is offered.
#pragma once

namespace vkp {

// Asks, restarts Windows when the user says Yes, and returns the exit code
// the answer calls for: 0 for USB (nothing to restart), 1641 when the restart
// was started, 3010 when it is still needed (No, or the request failed).
// `beforeRestart` runs just before the restart request.
unsigned AskClosingQuestion(int portCode, void (*beforeRestart)() = nullptr);

}  // namespace vkp
