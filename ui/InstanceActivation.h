// Bringing a running instance forward when the program is started again.
#pragma once

#include <initializer_list>

namespace vkp::ui {

// Looks for the first top-level window with one of the titles, in order, and
// brings its last active pop-up to the foreground (restoring the window when
// it is minimised). Returns 1 when none was found, else 0.
int ActivateRunningInstance(std::initializer_list<const char*> titles);

}  // namespace vkp::ui
