// A dialog built from a template, run modally by its own message loop or
// created modeless. Every message the loop takes for the dialog or one of its
// controls goes to PreTranslateMessage first, then to IsDialogMessage.
#pragma once

#include <map>

#include "platform/WinHeaders.h"
#include "ui/DataExchange.h"
#include "ui/DpiRelayout.h"
#include "ui/WindowIcons.h"

namespace vkp::ui {

// A control that its dialog measures and draws (owner-drawn list boxes).
class OwnerDrawn {
 public:
  virtual ~OwnerDrawn() = default;
  virtual void Measure(MEASUREITEMSTRUCT& item, UINT dpi) = 0;
  virtual void Draw(const DRAWITEMSTRUCT& item) = 0;
  // The dialog's display scale changed, after its controls were laid out again.
  virtual void DpiChanged(UINT dpi) = 0;
};

class Dialog {
 public:
  explicit Dialog(UINT templateId, HWND owner = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally on the calling thread. The owner (the given one,
  // else the application's main window) is disabled meanwhile. Returns the
  // value given to EndDialog, or -1 when the dialog could not be created
  // (NotCreated() then says so) or the loop ended at WM_QUIT.
  INT_PTR DoModal();
  bool NotCreated() const { return notCreated_; }
  // Creates the dialog modeless (visible only if the template says so).
  bool CreateModeless(HWND owner);
  void DestroyWindow();
  void EndDialog(INT_PTR result);

  HWND Hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }
  // The icons of the title bar and of Alt+Tab, from the program's icon
  // resource `id`, at the sizes for the dialog's display scale (again when
  // it changes).
  void UseIcon(UINT id);
  // The big icon (the minimised window, dragging).
  HICON Icon() const { return icons_.Big(); }
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
  // WM_DPICHANGED: true when the dialog did the whole work itself.
  bool OnDpiChanged(UINT dpi, const RECT& suggested);

  UINT templateId_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  volatile bool ended_ = false;
  INT_PTR result_ = -1;
  bool notCreated_ = false;
  bool becomeMainWindow_ = false;
  bool keepHidden_ = false;
  std::map<int, OwnerDrawn*> ownerDrawn_;
  UINT dpi_ = 0;
  UINT iconId_ = 0;
  WindowIcons icons_;
  ScaledFont font_;
};

}  // namespace vkp::ui
