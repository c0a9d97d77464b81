#include "removal/RemovalHost.h"

#include "resources/UninstallerResource.h"
#include "ui/App.h"

namespace vkp::removal {

void RemovalHost::CheckedPrinters(std::vector<std::string>& names) const {
  HWND list = dialog != nullptr ? GetDlgItem(dialog, IDC_PRINTER_LIST) : nullptr;
  if (list == nullptr) return;
  for (int row = 0; row < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++row) {
    if (SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) != 1) continue;
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) continue;
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    names.insert(names.begin(), std::string(text.data()));
  }
}

void RemovalHost::LockButtons() const {
  if (dialog == nullptr) return;
  EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL), FALSE);
  EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

void RemovalHost::RequestDialogClose() const {
  ui::App* app = ui::App::Current();
  if (app != nullptr && app->MainWindow() != nullptr) PostMessageA(app->MainWindow(), kCloseRequestMessage, 0, 0);
}

}  // namespace vkp::removal
