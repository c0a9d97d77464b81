// "Standard TCP/IP Port" port monitor stand-in for Wine test prefixes.
//
// Wine has no TCP/IP port monitor. This one keeps the configuration side of
// Windows' monitor: XcvData "AddPort" with a PORT_DATA_1 record (version 1)
// creates a port and stores its fields under
//   HKLM\System\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports\<name>
// with the value names Windows uses; a port that exists is refused with
// ERROR_ALREADY_EXISTS. "DeletePort" removes one; EnumPorts lists them. The
// data side sends nothing to the network: a port opens when it is
// configured, StartDocPort/EndDocPort succeed and WritePort accepts and
// discards every byte (tests must not depend on a printer on the network).
#include "SpoolerDll.h"
#include "platform/PortData1.h"

#include <string>
#include <vector>

namespace {

using vkpdll::Fail;

// The port record, as the installer sends it (platform/PortData1.h).
using vkp::PortData1;

struct DeletePortData1 {
  WCHAR psztName[64];
  WCHAR psztPortName[64];
  DWORD dwVersion;
  DWORD dwReserved;
};

constexpr wchar_t kMonitorName[] = L"Standard TCP/IP Port";
constexpr wchar_t kPortsKey[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

class Key {
 public:
  Key() = default;
  ~Key()
  {
    if (h_ != nullptr)
      RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Out() { return &h_; }
  HKEY Get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

struct Xcv {
  static constexpr DWORD kMagic = 0x54435856;  // 'TCXV'
  explicit Xcv(ACCESS_MASK granted) : access(granted) {}
  DWORD magic = kMagic;
  ACCESS_MASK access;
};

struct Port {
  static constexpr DWORD kMagic = 0x54435054;  // 'TCPT'
  explicit Port(const wchar_t* portName) : name(portName) {}
  DWORD magic = kMagic;
  std::wstring name;
  bool inDoc = false;
  ULONGLONG bytesDiscarded = 0;
};

std::wstring Bounded(const WCHAR* text, size_t capacity)
{
  size_t n = 0;
  while (n < capacity && text[n] != 0)
    ++n;
  return std::wstring(text, n);
}

bool IsDottedIPv4(const std::wstring& text)
{
  int parts = 0, digits = 0, value = 0;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      value = value * 10 + (c - L'0');
      if (++digits > 3 || value > 255)
        return false;
    } else if (c == L'.') {
      if (digits == 0)
        return false;
      ++parts;
      digits = 0;
      value = 0;
    } else {
      return false;
    }
  }
  return digits > 0 && parts == 3;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG SetDword(HKEY key, const wchar_t* name, DWORD value)
{
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

bool PortConfigured(const std::wstring& name)
{
  Key key;
  const std::wstring path = std::wstring(kPortsKey) + L"\\" + name;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

DWORD AddPort(const BYTE* input, DWORD size)
{
  if (input == nullptr || size < sizeof(PortData1))
    return ERROR_INVALID_PARAMETER;
  PortData1 data;
  CopyMemory(&data, input, sizeof(data));
  if (data.dwVersion != 1)
    return ERROR_INVALID_LEVEL;
  const std::wstring name = Bounded(data.sztPortName, 64);
  const std::wstring host = Bounded(data.sztHostAddress, 49);
  if (name.empty() || name.find(L'\\') != std::wstring::npos || host.empty())
    return ERROR_INVALID_PARAMETER;
  if (data.dwProtocol != 1 && data.dwProtocol != 2)  // RAW or LPR
    return ERROR_INVALID_PARAMETER;

  Key ports;
  if (const LONG e = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     ports.Out(), nullptr))
    return static_cast<DWORD>(e);
  Key port;
  DWORD disposition = 0;
  if (const LONG e = RegCreateKeyExW(ports.Get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     port.Out(), &disposition))
    return static_cast<DWORD>(e);
  if (disposition == REG_OPENED_EXISTING_KEY)
    return ERROR_ALREADY_EXISTS;

  // Windows keeps a literal address in IPAddress and a name in HostName.
  std::wstring ip = Bounded(data.sztIPAddress, 16);
  std::wstring hostName;
  if (IsDottedIPv4(host))
    ip = host;
  else
    hostName = host;
  LONG e = SetDword(port.Get(), L"Protocol", data.dwProtocol);
  if (e == ERROR_SUCCESS) e = SetDword(port.Get(), L"Version", data.dwVersion);
  if (e == ERROR_SUCCESS) e = SetString(port.Get(), L"HostName", hostName);
  if (e == ERROR_SUCCESS) e = SetString(port.Get(), L"IPAddress", ip);
  if (e == ERROR_SUCCESS) e = SetString(port.Get(), L"HWAddress", L"");
  if (e == ERROR_SUCCESS) e = SetDword(port.Get(), L"PortNumber", data.dwPortNumber);
  if (e == ERROR_SUCCESS) e = SetString(port.Get(), L"SNMP Community", Bounded(data.sztSNMPCommunity, 33));
  if (e == ERROR_SUCCESS) e = SetDword(port.Get(), L"SNMP Enabled", data.dwSNMPEnabled);
  if (e == ERROR_SUCCESS) e = SetDword(port.Get(), L"SNMP Index", data.dwSNMPDevIndex);
  if (e == ERROR_SUCCESS) e = SetString(port.Get(), L"Queue", Bounded(data.sztQueue, 33));
  if (e == ERROR_SUCCESS) e = SetDword(port.Get(), L"Double Spool", data.dwDoubleSpool);
  if (e != ERROR_SUCCESS) {
    RegDeleteKeyW(ports.Get(), name.c_str());
    return static_cast<DWORD>(e);
  }
  return ERROR_SUCCESS;
}

DWORD DeletePort(const BYTE* input, DWORD size)
{
  if (input == nullptr || size < sizeof(DeletePortData1))
    return ERROR_INVALID_PARAMETER;
  DeletePortData1 data;
  CopyMemory(&data, input, sizeof(data));
  const std::wstring name = Bounded(data.psztPortName, 64);
  if (name.empty() || name.find(L'\\') != std::wstring::npos)
    return ERROR_INVALID_PARAMETER;
  Key ports;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, ports.Out()) != ERROR_SUCCESS)
    return ERROR_UNKNOWN_PORT;
  const LONG e = RegDeleteKeyW(ports.Get(), name.c_str());
  return e == ERROR_FILE_NOT_FOUND ? ERROR_UNKNOWN_PORT : static_cast<DWORD>(e);
}

std::vector<std::wstring> ConfiguredPorts()
{
  std::vector<std::wstring> names;
  Key ports;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, ports.Out()) != ERROR_SUCCESS)
    return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256] = {};
    DWORD len = 256;
    if (RegEnumKeyExW(ports.Get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, len);
  }
  return names;
}

BOOL WINAPI TcpEnumPorts(HANDLE, LPWSTR pName, DWORD level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                         LPDWORD pcReturned)
{
  if (pcbNeeded == nullptr || pcReturned == nullptr || (pName != nullptr && pName[0] != 0))
    return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  if (level != 1 && level != 2)
    return Fail(ERROR_INVALID_LEVEL);
  const std::vector<std::wstring> names = ConfiguredPorts();
  const DWORD entry = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
  DWORD needed = 0;
  for (const std::wstring& n : names) {
    needed += entry + static_cast<DWORD>((n.size() + 1) * sizeof(wchar_t));
    if (level == 2)
      needed += 2 * sizeof(kMonitorName);
  }
  *pcbNeeded = needed;
  if (pPorts == nullptr || cbBuf < needed)
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  // Records first, strings packed behind them.
  auto* text = reinterpret_cast<wchar_t*>(pPorts + entry * names.size());
  auto put = [&text](const std::wstring& s) {
    wchar_t* at = text;
    CopyMemory(at, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
    text += s.size() + 1;
    return at;
  };
  for (size_t i = 0; i < names.size(); ++i) {
    if (level == 1) {
      reinterpret_cast<PORT_INFO_1W*>(pPorts)[i].pName = put(names[i]);
    } else {
      PORT_INFO_2W& pi = reinterpret_cast<PORT_INFO_2W*>(pPorts)[i];
      pi.pPortName = put(names[i]);
      pi.pMonitorName = put(kMonitorName);
      pi.pDescription = put(kMonitorName);
      pi.fPortType = PORT_TYPE_WRITE;
      pi.Reserved = 0;
    }
  }
  *pcReturned = static_cast<DWORD>(names.size());
  return TRUE;
}

BOOL WINAPI TcpOpenPort(HANDLE, LPWSTR pName, PHANDLE pHandle)
{
  if (pName == nullptr || pHandle == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  if (!PortConfigured(pName))
    return Fail(ERROR_UNKNOWN_PORT);
  return vkpdll::HandOut<Port>(pHandle, pName);
}

Port* AsPort(HANDLE h) { return vkpdll::FromHandle<Port>(h); }

BOOL WINAPI TcpStartDocPort(HANDLE hPort, LPWSTR, DWORD, DWORD, LPBYTE)
{
  Port* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  port->inDoc = true;
  return TRUE;
}

BOOL WINAPI TcpWritePort(HANDLE hPort, LPBYTE, DWORD cbBuf, LPDWORD pcbWritten)
{
  Port* port = AsPort(hPort);
  if (port == nullptr || pcbWritten == nullptr)
    return FALSE;
  port->bytesDiscarded += cbBuf;
  *pcbWritten = cbBuf;
  return TRUE;
}

BOOL WINAPI TcpReadPort(HANDLE hPort, LPBYTE, DWORD, LPDWORD pcbRead)
{
  if (AsPort(hPort) == nullptr || pcbRead == nullptr)
    return FALSE;
  *pcbRead = 0;  // The printer never answers.
  return TRUE;
}

BOOL WINAPI TcpEndDocPort(HANDLE hPort)
{
  Port* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  port->inDoc = false;
  return TRUE;
}

BOOL WINAPI TcpClosePort(HANDLE hPort)
{
  Port* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  vkpdll::Destroy(port);
  return TRUE;
}

BOOL WINAPI TcpXcvOpenPort(HANDLE, LPCWSTR, ACCESS_MASK access, PHANDLE phXcv)
{
  if (phXcv == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  return vkpdll::HandOut<Xcv>(phXcv, access);
}

DWORD WINAPI TcpXcvDataPort(HANDLE hXcv, LPCWSTR pszDataName, PBYTE pInputData, DWORD cbInputData, PBYTE,
                            DWORD, PDWORD pcbOutputNeeded)
{
  auto* xcv = static_cast<Xcv*>(hXcv);
  if (xcv == nullptr || xcv->magic != Xcv::kMagic || pszDataName == nullptr)
    return ERROR_INVALID_PARAMETER;
  if (pcbOutputNeeded != nullptr)
    *pcbOutputNeeded = 0;
  const bool admin = (xcv->access & SERVER_ACCESS_ADMINISTER) != 0;
  if (lstrcmpW(pszDataName, L"AddPort") == 0)
    return admin ? AddPort(pInputData, cbInputData) : ERROR_ACCESS_DENIED;
  if (lstrcmpW(pszDataName, L"DeletePort") == 0)
    return admin ? DeletePort(pInputData, cbInputData) : ERROR_ACCESS_DENIED;
  return ERROR_INVALID_PARAMETER;
}

BOOL WINAPI TcpXcvClosePort(HANDLE hXcv)
{
  auto* xcv = static_cast<Xcv*>(hXcv);
  if (xcv == nullptr || xcv->magic != Xcv::kMagic)
    return FALSE;
  vkpdll::Destroy(xcv);
  return TRUE;
}

VOID WINAPI TcpShutdown(HANDLE) {}

MONITOR2 MakeTable()
{
  MONITOR2 t = vkpdll::PortTable(TcpOpenPort, TcpStartDocPort, TcpWritePort, TcpReadPort, TcpEndDocPort,
                                 TcpClosePort);
  t.pfnEnumPorts = TcpEnumPorts;
  t.pfnXcvOpenPort = TcpXcvOpenPort;
  t.pfnXcvDataPort = TcpXcvDataPort;
  t.pfnXcvClosePort = TcpXcvClosePort;
  t.pfnShutdown = TcpShutdown;
  return t;
}

MONITOR2 g_table = MakeTable();
int g_monitor = 0;  // Its address is the monitor handle.

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT pMonitorInit,
                                                                           PHANDLE phMonitor)
{
  if (pMonitorInit == nullptr || phMonitor == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  *phMonitor = &g_monitor;
  return &g_table;
}
