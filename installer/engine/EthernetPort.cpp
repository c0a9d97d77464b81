#include <cstring>
#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "platform/PortData1.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

namespace {
// Narrow text (ANSI code page) into a wide field, cut after maxChars characters.
template <std::size_t N>
void ToWideField(WCHAR (&field)[N], const std::string& text, std::size_t maxChars) {
  static_assert(N > 0, "field");
  std::vector<WCHAR> wide(text.size() + 1, L'\0');
  const int converted = text.empty() ? 0
                                     : MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                                           wide.data(), static_cast<int>(text.size()));
  std::size_t length = converted > 0 ? static_cast<std::size_t>(converted) : 0;
  if (length > maxChars) length = maxChars;
  if (length > N - 1) length = N - 1;
  std::memcpy(field, wide.data(), length * sizeof(WCHAR));
  field[length] = L'\0';
}
}  // namespace

void InstallEngine::SetEthernetPort(const std::string& ipAddress, int portNumber) {
  TraceScope trace("SetEthernetPort");
  nPortNumber = portNumber;
  strIPAddress = ipAddress;
  WriteTraceLog("IP ADDRESS : %s", strIPAddress.c_str());
  WriteTraceLog("PORT NUMBER : %d", nPortNumber);
}

void InstallEngine::AddEthernetPort() {
  TraceScope trace("AddEthernetPort");
  WriteTraceLog("IP ADDRESS : %s", strIPAddress.c_str());
  WriteTraceLog("PORT NUMBER : %d", nPortNumber);

  PortData1 port;
  std::memset(&port, 0, sizeof port);
  ToWideField(port.sztPortName, "IP_" + strIPAddress, 63);
  port.dwVersion = 1;
  port.dwProtocol = kProtocolRawTcp;
  port.cbSize = sizeof port;
  port.dwReserved = 0;
  ToWideField(port.sztHostAddress, strIPAddress, 48);
  ToWideField(port.sztSNMPCommunity, "yellow", 32);
  port.dwDoubleSpool = 0;
  port.dwPortNumber = static_cast<DWORD>(nPortNumber);
  port.dwSNMPEnabled = 0;
  port.dwSNMPDevIndex = 1;

  PortData1 output;
  std::memset(&output, 0, sizeof output);

  PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  UniquePrinter monitor;
  if (!Os().OpenPrinterA(const_cast<char*>(",XcvMonitor Standard TCP/IP Port"), monitor.put(), &defaults)) {
    WriteTraceLog("OpenPrinter failed. (%d)", static_cast<int>(Os().GetLastError()));
  } else {
    DWORD outputNeeded = 0;
    DWORD status = 0;  // the monitor's answer: an existing port is accepted silently
    if (!Os().XcvDataW(monitor.get(), L"AddPort", reinterpret_cast<BYTE*>(&port), sizeof port,
                       reinterpret_cast<BYTE*>(&output), sizeof output, &outputNeeded, &status)) {
      WriteTraceLog("XcvData failed. (%d)", static_cast<int>(Os().GetLastError()));
    }
  }
  monitor.reset();
}

}  // namespace vkp
