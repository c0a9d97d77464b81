#include "ui/Dialog.h"

#include "platform/Os.h"
#include "support/ExitCodes.h"
#include "support/SystemHelpers.h"
#include "ui/App.h"
#include "ui/Dpi.h"

namespace vkp::ui {

namespace {
// The dialog being created on this thread: owner-drawn fixed list boxes are
// measured while the template's controls are made, before WM_INITDIALOG.
thread_local Dialog* tCreating = nullptr;

struct CreatingScope {
  explicit CreatingScope(Dialog* dialog) : previous(tCreating) { tCreating = dialog; }
  ~CreatingScope() { tCreating = previous; }
  Dialog* previous;
};
}  // namespace

Dialog::Dialog(UINT templateId, HWND owner) : templateId_(templateId), owner_(owner) {}

Dialog::~Dialog() { DestroyWindow(); }

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = window;
    if (self->becomeMainWindow_ && App::Current() != nullptr) App::Current()->SetMainWindow(window);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (self == nullptr) {
    if (tCreating == nullptr) return FALSE;
    self = tCreating;
    self->hwnd_ = window;
  }
  return self->HandleMessage(message, wParam, lParam);
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGING && keepHidden_)
    reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);  // nothing may show it
  switch (message) {
    case WM_INITDIALOG:
      dpi_ = WindowDpi(hwnd_);
      return OnInitDialog();
    case WM_DPICHANGED:
      return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)) ? TRUE : FALSE;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (OnCommand(id, code, reinterpret_cast<HWND>(lParam))) return TRUE;
      if (id == IDOK && code == BN_CLICKED) {
        OnOK();
        return TRUE;
      }
      if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
        return TRUE;
      }
      return FALSE;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      auto it = ownerDrawn_.find(static_cast<int>(item->CtlID));
      if (it == ownerDrawn_.end()) break;
      it->second->Measure(*item, WindowDpi(hwnd_));
      return TRUE;
    }
    case WM_ENDSESSION:
      // The session ends, and Windows ends this process once the message is
      // answered. When it is the restart this program asked for, the work is
      // done: end with the code that says so rather than being ended.
      if (wParam != 0 && RestartStarted()) Os().ExitProcess(kExitRestartStarted);
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      auto it = ownerDrawn_.find(static_cast<int>(item->CtlID));
      if (it == ownerDrawn_.end()) break;
      it->second->Draw(*item);
      return TRUE;
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (!OnMessage(message, wParam, lParam, result)) return FALSE;
  switch (message) {  // these return their result directly
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

INT_PTR Dialog::DoModal() {
  HWND owner = owner_;
  if (owner == nullptr && App::Current() != nullptr) owner = App::Current()->MainWindow();
  if (owner != nullptr && !IsWindow(owner)) owner = nullptr;

  ended_ = false;
  result_ = -1;
  notCreated_ = false;
  modal_ = true;
  HINSTANCE instance = App::Current() != nullptr ? App::Current()->Instance() : GetModuleHandleA(nullptr);
  HWND window = nullptr;
  {
    CreatingScope creating(this);
    window = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                                reinterpret_cast<LPARAM>(this));
  }
  if (window == nullptr) {
    modal_ = false;
    notCreated_ = true;
    return -1;
  }
  const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  if (!ended_ && !keepHidden_) ShowWindow(window, SW_SHOWNORMAL);

  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: leave the loop and let the outer one see it too
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    const bool forThisDialog = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
    if (forThisDialog && PreTranslateMessage(msg)) continue;
    if (IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  // Re-enable the owner before the dialog goes, so that it gets the activation.
  if (disableOwner) EnableWindow(owner, TRUE);
  if (hwnd_ != nullptr) SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                                         SWP_NOACTIVATE);
  if (owner != nullptr && GetActiveWindow() == hwnd_) SetActiveWindow(owner);
  DestroyWindow();
  modal_ = false;
  return result_;
}

bool Dialog::CreateModeless(HWND owner) {
  modal_ = false;
  HINSTANCE instance = App::Current() != nullptr ? App::Current()->Instance() : GetModuleHandleA(nullptr);
  CreatingScope creating(this);
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::DestroyWindow() {
  if (hwnd_ == nullptr) return;
  HWND window = hwnd_;
  SetWindowLongPtrA(window, DWLP_USER, 0);
  hwnd_ = nullptr;
  ::DestroyWindow(window);
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (hwnd_ != nullptr) PostMessageA(hwnd_, WM_NULL, 0, 0);  // wake the loop
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(hwnd_, saveAndValidate);
  DoDataExchange(dx);
  return !dx.Failed();
}

void Dialog::UseIcon(UINT id) {
  iconId_ = id;
  HINSTANCE instance = App::Current() != nullptr ? App::Current()->Instance() : GetModuleHandleA(nullptr);
  icons_.Load(hwnd_, instance, id, WindowDpi(hwnd_));
}

bool Dialog::OnDpiChanged(UINT dpi, const RECT& suggested) {
  // Per-monitor version 2: the dialog manager moves, resizes and lays out
  // the dialog itself once this returns FALSE.
  const bool bySystem = SystemRescalesDialog(hwnd_);
  if (!bySystem) RelayoutForDpi(hwnd_, dpi_, dpi, suggested, font_);
  dpi_ = dpi;
  for (const auto& [id, control] : ownerDrawn_) control->DpiChanged(dpi);
  if (iconId_ != 0) UseIcon(iconId_);
  return !bySystem;
}

bool Dialog::PreTranslateMessage(MSG&) { return false; }

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnCommand(WORD, WORD, HWND) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

}  // namespace vkp::ui
