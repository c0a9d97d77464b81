// A list box with a check box in every row (owner-drawn, fixed rows, with
// strings). The mouse on a row's check box and the space bar toggle the
// check; each toggle sends the parent WM_COMMAND with the notification
// kCheckChange. A row's check state is kept in its item data (0 or 1).
#pragma once

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace vkp::ui {

constexpr WORD kCheckChange = 40;

class CheckListBox : public Control, public OwnerDrawn {
 public:
  CheckListBox() = default;
  ~CheckListBox() override;
  CheckListBox(const CheckListBox&) = delete;
  CheckListBox& operator=(const CheckListBox&) = delete;

  // Takes over the list box window (subclassing it for mouse and keys).
  void SubclassWindow(HWND listBox);

  int AddString(const std::string& text) const;  // index of the new row (the list may sort)
  void ResetContent() const;
  int GetCount() const;
  std::string GetText(int index) const;
  int GetCheck(int index) const;
  void SetCheck(int index, int check) const;

  void Measure(MEASUREITEMSTRUCT& item, UINT dpi) override;
  void Draw(const DRAWITEMSTRUCT& item) override;
  void DpiChanged(UINT dpi) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  int CheckBoxSize() const;
  static int RowHeightAt(UINT dpi);
  void Toggle(int index) const;

  WNDPROC previousProc_ = nullptr;
};

}  // namespace vkp::ui
