#include "installer/engine/ClosingQuestion.h"

#include "installer/engine/PortCodes.h"
#include "support/ExitCodes.h"
#include "support/SystemHelpers.h"
#include "ui/Deployment.h"
#include "ui/MessageBox.h"

namespace vkp {

unsigned AskClosingQuestion(int portCode, void (*beforeRestart)()) {
  if (portCode == kPortUsb) {
    ui::ShowMessageBox("Please turn-off the printer and then turn-on again.", MB_OK | MB_ICONINFORMATION);
    return kExitSuccess;
  }
  if (!ui::AskRestart()) return kExitRestartNeeded;
  if (beforeRestart != nullptr) beforeRestart();
  return RestartWindows() != 0 ? kExitRestartStarted : kExitRestartNeeded;
}

}  // namespace vkp
