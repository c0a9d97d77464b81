// Thin wrappers of the common controls the dialogs use.
#pragma once

#include <string>

#include "platform/WinHeaders.h"

namespace vkp::ui {

class Control {
 public:
  void Attach(HWND window) { hwnd_ = window; }
  HWND Hwnd() const { return hwnd_; }
  void Enable(bool enable) const { EnableWindow(hwnd_, enable ? TRUE : FALSE); }
  bool IsEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

 protected:
  HWND hwnd_ = nullptr;
};

class ProgressBar : public Control {
 public:
  void SetRange(int low, int high) const {
    SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(low, high));
  }
  void SetStep(int step) const { SendMessageA(hwnd_, PBM_SETSTEP, static_cast<WPARAM>(step), 0); }
  void StepIt() const { SendMessageA(hwnd_, PBM_STEPIT, 0, 0); }
  void SetPos(int pos) const { SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(pos), 0); }
  int GetPos() const { return static_cast<int>(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); }
};

class IpAddressCtrl : public Control {
 public:
  void SetAddress(BYTE a, BYTE b, BYTE c, BYTE d) const {
    SendMessageA(hwnd_, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(a, b, c, d)));
  }
  // Reads the four fields (blank fields read as 0); returns how many are filled in.
  int GetAddress(BYTE& a, BYTE& b, BYTE& c, BYTE& d) const {
    DWORD address = 0;
    const int filled = static_cast<int>(
        SendMessageA(hwnd_, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    a = FIRST_IPADDRESS(address);
    b = SECOND_IPADDRESS(address);
    c = THIRD_IPADDRESS(address);
    d = FOURTH_IPADDRESS(address);
    return filled;
  }
};

}  // namespace vkp::ui
