// A restart a deferred custom action learned of, handed to the immediate
// action after InstallFinalize. Deferred actions cannot set Windows
// Installer's restart flag themselves (MsiSetMode is not among the calls
// they may make), so the deferred action leaves a global atom, which lives
// as long as the window station of the Windows Installer service both kinds
// of action run in, and the later one turns it into the flag.
#pragma once

namespace vkp {

// Leaves the atom (deferred).
void RememberRestartNeeded();

// Removes every atom left, by this run or a cut one; true when one was there.
bool TakeRestartNeeded();

}  // namespace vkp
