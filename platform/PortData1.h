// The Standard TCP/IP port monitor's "AddPort" record (964 bytes), with the
// layout of the Windows driver kit's tcpxcv.h, which mingw does not ship.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

constexpr DWORD kProtocolRawTcp = 1;  // PROTOCOL_RAWTCP_TYPE

struct PortData1 {
  WCHAR sztPortName[64];
  DWORD dwVersion;
  DWORD dwProtocol;
  DWORD cbSize;
  DWORD dwReserved;
  WCHAR sztHostAddress[49];
  WCHAR sztSNMPCommunity[33];
  DWORD dwDoubleSpool;
  WCHAR sztQueue[33];
  WCHAR sztIPAddress[16];
  BYTE Reserved[540];
  DWORD dwPortNumber;
  DWORD dwSNMPEnabled;
  DWORD dwSNMPDevIndex;
};
static_assert(sizeof(PortData1) == 964, "PORT_DATA_1 is 964 bytes");

}  // namespace vkp
