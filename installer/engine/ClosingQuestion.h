// The closing question of a new installation: USB printers are switched off
// and on; for every other port a restart is offered.
#pragma once

namespace vkp {

// True when the user asked for the restart (never for USB).
bool AskClosingQuestion(int portCode);

}  // namespace vkp
