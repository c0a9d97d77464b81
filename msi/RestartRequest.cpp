#include "msi/RestartRequest.h"

#include "platform/Os.h"

namespace vkp {

namespace {
constexpr const char kRestartAtom[] = "NORVEKA VKP-M200 restart needed";
}  // namespace

void RememberRestartNeeded() { Os().GlobalAddAtomA(kRestartAtom); }

bool TakeRestartNeeded() {
  bool found = false;
  // Each GlobalAddAtom counts once; delete until none is left.
  for (int i = 0; i < 16; ++i) {
    const ATOM atom = Os().GlobalFindAtomA(kRestartAtom);
    if (atom == 0) break;
    found = true;
    Os().GlobalDeleteAtom(atom);
  }
  return found;
}

}  // namespace vkp
