// "Port Type": how the printer is attached (COM1..COM4, USB, or wireless LAN
// with an IPv4 address and a TCP port), preset from the configuration file.
#pragma once

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace vkp {

class PortDlg : public ui::Dialog {
 public:
  explicit PortDlg(HWND owner = nullptr);
  ~PortDlg() override;

  int GetPortType() const { return nPortType; }
  int GetPortNumber() const { return nPortNumber; }
  std::string GetIPAddress() const { return strIPAddress; }

  ui::IpAddressCtrl ipAddressCtrl;
  int nPortType = 0;
  int nPortNumber = 9100;
  std::string strIPAddress;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;

 private:
  void EnableNetworkFields(bool enable);
};

}  // namespace vkp
