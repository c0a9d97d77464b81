// How the configuration file's values are read: the lenient decimal
// conversion and the rules that turn values into the port choice. Pure.
#pragma once

#include <cstddef>

namespace vkp {

constexpr int kDefaultTcpPort = 9100;
constexpr int kPortTypeCount = 6;  // COM1..COM4, USB, wireless LAN
constexpr int kPortTypeWirelessLan = 5;

// Skips leading white space, takes an optional sign and the leading decimal
// digits; anything after them is ignored; no digits gives 0. Values beyond
// the int range saturate.
int LenientDecimal(const char* text);

// True when the port dialog is to be shown: no value, or one that contains
// "TRUE" (case-sensitive).
bool PortDialogRequested(const char* portDialogValue);

// Index of the first of "COM1", "COM2", "COM3", "COM4", "USB", "WLAN" that
// occurs in the value (case-sensitive); 0 when none does or there is no value.
int PortTypeFromValue(const char* portValue);

// TCP port from "WLAN_PORT": no value or a value converting to 0 gives 9100.
int TcpPortFromValue(const char* value);

// An octet from "WLAN_IP_n": no value gives 0; below 0 or above 255 gives 255.
int OctetFromValue(const char* value);

// "%d.%d.%d.%d" into a buffer of `size` bytes (cut, always terminated).
void FormatIpAddress(char* out, std::size_t size, int a, int b, int c, int d);

}  // namespace vkp
