// The installer's worker thread.
#pragma once

namespace vkp {

// Runs the whole installation for the progress dialog given as parameter and
// ends the process; never returns.
unsigned __stdcall InstallThread(void* dialog);

}  // namespace vkp
