// Fuzz target: the configuration value rules must accept any bytes without
// reading past the value or overflowing, and keep their documented ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "installer/pure/ConfigRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string value(reinterpret_cast<const char*>(data), size);  // stops at the first NUL, as the file does
  const char* text = value.c_str();

  (void)vkp::LenientDecimal(text);
  (void)vkp::PortDialogRequested(text);
  const int portType = vkp::PortTypeFromValue(text);
  if (portType < 0 || portType >= vkp::kPortTypeCount) std::abort();
  const int octet = vkp::OctetFromValue(text);
  if (octet < 0 || octet > 255) std::abort();
  if (vkp::TcpPortFromValue(text) == 0) std::abort();

  char address[16];
  vkp::FormatIpAddress(address, sizeof address, octet, octet, octet, octet);
  if (address[sizeof address - 1] != '\0' && std::string(address).size() >= sizeof address) std::abort();
  return 0;
}
