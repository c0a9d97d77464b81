#include "installer/engine/ClosingQuestion.h"

#include "installer/engine/PortCodes.h"
#include "ui/MessageBox.h"

namespace vkp {

bool AskClosingQuestion(int portCode) {
  if (portCode == kPortUsb) {
    ui::ShowMessageBox("Please turn-off the printer and then turn-on again.", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  const char* question =
      "Restarting your computer can take effect.\nPlease restart your computer."
      "\n\n[Yes] I want to restart my computer now.\n[No] I want to restart my computer later.";
  return ui::ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace vkp
