#include "ui/BusyState.h"

namespace vkp::ui {

void ShowBusyState(HWND dialog, bool busy) {
  if (busy) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RemoveMenu(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
  } else {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }
}

}  // namespace vkp::ui
