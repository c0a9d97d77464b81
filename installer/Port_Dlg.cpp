#include "installer/Port_Dlg.h"

#include "installer/ConfigFile.h"
#include "installer/pure/ConfigRules.h"
#include "resources/InstallerResource.h"

namespace vkp {

namespace {
struct RadioPort {
  WORD id;
  int portType;
};
constexpr RadioPort kRadioPorts[] = {
    {IDC_RADIO_COM1, 0}, {IDC_RADIO_COM2, 1}, {IDC_RADIO_COM3, 2},
    {IDC_RADIO_COM4, 3}, {IDC_RADIO_USB, 4},  {IDC_RADIO_WLAN, kPortTypeWirelessLan},
};

// A configuration value, or nullptr when the key gives nothing.
const char* ConfigValue(const char* key, char (&buffer)[kConfigValueSize]) {
  return GetDriverInfoFromFile(kConfigSection, key, buffer, sizeof buffer);
}
}  // namespace

PortDlg::PortDlg(HWND owner) : ui::Dialog(IDD_PORT_DIALOG, owner) {}

PortDlg::~PortDlg() = default;

void PortDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(IDC_IPADDRESS, ipAddressCtrl);
  dx.Radio(IDC_RADIO_COM1, nPortType);
  dx.Int(IDC_EDIT_PORT, nPortNumber);
  dx.MinMaxInt(IDC_EDIT_PORT, nPortNumber, 1, 10000);
}

void PortDlg::EnableNetworkFields(bool enable) {
  EnableItem(IDC_EDIT_PORT, enable);
  ipAddressCtrl.Enable(enable);
}

BOOL PortDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  nPortNumber = kDefaultTcpPort;
  EnableNetworkFields(false);

  char value[kConfigValueSize] = {};
  nPortType = PortTypeFromValue(ConfigValue("PORT", value));
  nPortNumber = TcpPortFromValue(ConfigValue("WLAN_PORT", value));
  int octets[4] = {0, 0, 0, 0};
  static const char* const kOctetKeys[4] = {"WLAN_IP_1", "WLAN_IP_2", "WLAN_IP_3", "WLAN_IP_4"};
  for (int i = 0; i < 4; ++i) octets[i] = OctetFromValue(ConfigValue(kOctetKeys[i], value));
  char address[32];
  FormatIpAddress(address, sizeof address, octets[0], octets[1], octets[2], octets[3]);
  strIPAddress = address;

  ipAddressCtrl.SetAddress(static_cast<BYTE>(octets[0]), static_cast<BYTE>(octets[1]),
                           static_cast<BYTE>(octets[2]), static_cast<BYTE>(octets[3]));
  if (nPortType == kPortTypeWirelessLan) EnableNetworkFields(true);
  UpdateData(false);
  return TRUE;
}

bool PortDlg::OnCommand(WORD id, WORD code, HWND) {
  if (code != BN_CLICKED) return false;
  for (const RadioPort& radio : kRadioPorts) {
    if (radio.id != id) continue;
    EnableNetworkFields(radio.portType == kPortTypeWirelessLan);
    nPortType = radio.portType;
    return true;
  }
  return false;
}

void PortDlg::OnOK() {
  if (!UpdateData(true)) return;  // the user was told; the dialog stays open
  BYTE a = 0, b = 0, c = 0, d = 0;
  ipAddressCtrl.GetAddress(a, b, c, d);
  char address[32];
  FormatIpAddress(address, sizeof address, a, b, c, d);
  strIPAddress = address;
  EndDialog(IDOK);
}

}  // namespace vkp
