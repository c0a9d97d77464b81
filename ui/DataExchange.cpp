#include "ui/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "support/BoundedText.h"
#include "ui/MessageBox.h"

namespace vkp::ui {

namespace {
std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}
}  // namespace

bool ParseDialogInt(const std::string& text, int& value) {
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

void DataExchange::Fail(int id, const std::string& message) {
  failed_ = true;
  // Owned by the dialog that validates, so that it stays modal to it.
  ShowMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION, dialog_);
  HWND control = GetDlgItem(dialog_, id);
  if (control != nullptr) {
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
}

void DataExchange::Bind(int id, Control& control) {
  if (failed_) return;
  control.Attach(GetDlgItem(dialog_, id));
}

void DataExchange::Text(int id, std::string& value) {
  if (failed_) return;
  HWND control = GetDlgItem(dialog_, id);
  if (save_) {
    value = WindowText(control);
  } else {
    SetWindowTextA(control, value.c_str());
  }
}

void DataExchange::Int(int id, int& value) {
  if (failed_) return;
  HWND control = GetDlgItem(dialog_, id);
  if (save_) {
    int parsed = 0;
    if (!ParseDialogInt(WindowText(control), parsed)) {
      Fail(id, "Please enter an integer.");
      return;
    }
    value = parsed;
  } else {
    SetWindowTextA(control, std::to_string(value).c_str());
  }
}

void DataExchange::MinMaxInt(int id, int value, int minimum, int maximum) {
  if (failed_ || !save_) return;
  if (value < minimum || value > maximum) {
    char message[128];
    FormatBounded(message, sizeof message, "Please enter an integer between %d and %d.", minimum,
                  maximum);
    Fail(id, message);
  }
}

void DataExchange::Radio(int firstId, int& index) {
  if (failed_) return;
  HWND button = GetDlgItem(dialog_, firstId);
  if (save_) index = -1;
  int position = 0;
  while (button != nullptr) {
    if (save_) {
      if (SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
    } else {
      SendMessageA(button, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++position;
    HWND next = GetWindow(button, GW_HWNDNEXT);
    // The group ends at the next control that starts a group or is no radio button.
    if (next == nullptr || (GetWindowLongA(next, GWL_STYLE) & WS_GROUP) != 0) break;
    const LONG kind = GetWindowLongA(next, GWL_STYLE) & BS_TYPEMASK;
    if (kind != BS_AUTORADIOBUTTON && kind != BS_RADIOBUTTON) break;
    button = next;
  }
}

}  // namespace vkp::ui
