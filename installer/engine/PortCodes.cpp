#include "installer/engine/PortCodes.h"

namespace vkp {

std::string PrintUiPortText(int portCode, const std::string& ipAddress) {
  switch (portCode) {
    case kPortCom1: return "COM1";
    case kPortCom2: return "COM2";
    case kPortCom3: return "COM3";
    case kPortCom4: return "COM4";
    case kPortWirelessLan: return "IP_" + ipAddress;
    default: return std::string();
  }
}

std::string PrinterPortName(int portCode, const std::string& ipAddress) {
  if (portCode == kPortWirelessLan) return "IP_" + ipAddress;
  const std::string com = PrintUiPortText(portCode, ipAddress);
  return com.empty() ? com : com + ":";
}

}  // namespace vkp
