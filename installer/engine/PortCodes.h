// Port codes: 1000 plus the port type index of the port dialog.
#pragma once

#include <string>

namespace vkp {

constexpr int kPortCom1 = 1000;
constexpr int kPortCom2 = 1001;
constexpr int kPortCom3 = 1002;
constexpr int kPortCom4 = 1003;
constexpr int kPortUsb = 1004;
constexpr int kPortWirelessLan = 1005;

// The port text of the printui command: "COM1".."COM4", "IP_" + address for
// wireless LAN, empty for USB.
std::string PrintUiPortText(int portCode, const std::string& ipAddress);

// The port of a printer object: "COM1:".."COM4:", "IP_" + address; empty for USB.
std::string PrinterPortName(int portCode, const std::string& ipAddress);

}  // namespace vkp
