// Data exchange between a dialog's members and its controls, in both
// directions. When reading from the controls fails (not an integer, out of
// range), the user is told, the focus goes to the control and the rest of
// the exchange is skipped.
#pragma once

#include <string>

#include "platform/WinHeaders.h"
#include "ui/Controls.h"

namespace vkp::ui {

class DataExchange {
 public:
  DataExchange(HWND dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}

  bool Saving() const { return save_; }
  bool Failed() const { return failed_; }

  void Bind(int id, Control& control);
  void Text(int id, std::string& value);
  void Int(int id, int& value);
  // Range check of a value read by Int from the same control.
  void MinMaxInt(int id, int value, int minimum, int maximum);
  // Index of the checked button in the group that starts at firstId (-1: none).
  void Radio(int firstId, int& index);

 private:
  void Fail(int id, const std::string& message);

  HWND dialog_;
  bool save_;
  bool failed_ = false;
};

// Lenient-free integer parse of an edit's text, as data exchange does it:
// optional blanks and sign, digits, optional blanks, nothing else.
bool ParseDialogInt(const std::string& text, int& value);

}  // namespace vkp::ui
