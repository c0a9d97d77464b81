#include "installer/pure/ConfigRules.h"

#include <climits>
#include <cstring>

#include "support/BoundedText.h"

namespace vkp {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool HasValue(const char* value) { return value != nullptr && value[0] != '\0'; }
}  // namespace

int LenientDecimal(const char* text) {
  if (text == nullptr) return 0;
  while (IsBlank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool PortDialogRequested(const char* portDialogValue) {
  return !HasValue(portDialogValue) || std::strstr(portDialogValue, "TRUE") != nullptr;
}

int PortTypeFromValue(const char* portValue) {
  if (!HasValue(portValue)) return 0;
  static const char* const kNames[kPortTypeCount] = {"COM1", "COM2", "COM3", "COM4", "USB", "WLAN"};
  for (int index = 0; index < kPortTypeCount; ++index) {
    if (std::strstr(portValue, kNames[index]) != nullptr) return index;
  }
  return 0;
}

int TcpPortFromValue(const char* value) {
  if (!HasValue(value)) return kDefaultTcpPort;
  const int port = LenientDecimal(value);
  return port == 0 ? kDefaultTcpPort : port;
}

int OctetFromValue(const char* value) {
  if (!HasValue(value)) return 0;
  const int octet = LenientDecimal(value);
  return octet < 0 || octet > 255 ? 255 : octet;
}

void FormatIpAddress(char* out, std::size_t size, int a, int b, int c, int d) {
  if (size == 0) return;
  FormatBounded(out, size, "%d.%d.%d.%d", a, b, c, d);
}

}  // namespace vkp
