// A dialog built from a template, run modally by its own message loop or
// created modeless. Every message the loop takes for the dialog or one of its
// controls goes to PreTranslateMessage first, then to IsDialogMessage.
#pragma once

#include <map>

#include "platform/WinHeaders.h"
#include "ui/DataExchange.h"

namespace vkp::ui {

// A control that its dialog measures and draws (owner-drawn list boxes).
class OwnerDrawn {
 public:
  virtual ~OwnerDrawn() = default;
  virtual void Measure(MEASUREITEMSTRUCT& item) = 0;
  virtual void Draw(const DRAWITEMSTRUCT& item) = 0;
};

class Dialog {
 public:
  explicit Dialog(UINT templateId, HWND owner = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally on the calling thread. The owner (the given one,
  // else the application's main window) is disabled meanwhile. Returns the
  // value given to EndDialog, or -1 when the dialog could not be created.
  INT_PTR DoModal();
  // Creates the dialog modeless (visible only if the template says so).
  bool CreateModeless(HWND owner);
  void DestroyWindow();
  void EndDialog(INT_PTR result);

  HWND Hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }
  // The icon of the title bar (small) and of Alt+Tab (big).
  void SetIcon(HICON icon) const {
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  // Exchanges data with the controls; false when reading them failed.
  bool UpdateData(bool saveAndValidate);
  // This dialog becomes the application's main window when it is created.
  void BecomeMainWindowOnCreate() { becomeMainWindow_ = true; }
  // The dialog runs but never shows (a quiet run: no window at all).
  void KeepHidden() { keepHidden_ = true; }

  // True when the message is handled and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& msg);

 protected:
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(DataExchange& dx);
  // True when handled; otherwise IDOK and IDCANCEL go to OnOK and OnCancel.
  virtual bool OnCommand(WORD id, WORD code, HWND control);
  // True when handled, with the message's result in `result`.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Enter and the default button: read and validate, then end with IDOK.
  virtual void OnOK();
  // Escape, the Close command, a Cancel button: end with IDCANCEL.
  virtual void OnCancel();

  void RegisterOwnerDrawn(int id, OwnerDrawn* control) { ownerDrawn_[id] = control; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  volatile bool ended_ = false;
  INT_PTR result_ = -1;
  bool becomeMainWindow_ = false;
  bool keepHidden_ = false;
  std::map<int, OwnerDrawn*> ownerDrawn_;
};

}  // namespace vkp::ui
