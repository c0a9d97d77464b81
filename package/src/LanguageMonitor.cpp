// ZEM Language Monitor VKP-M200: a pass-through language monitor.
//
// The spooler opens a port through OpenPortEx and hands over the port
// monitor's MONITOR2 table; every port call is forwarded to that table with
// the port monitor's own handle. The monitor adds nothing to the data stream,
// so a job reaches the port byte for byte. It exposes no ports of its own
// (no EnumPorts), as language monitors must not.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <new>

namespace {

struct MonitorContext {
  DWORD magic;
  MONITORINIT init;  // Kept for the spooler's callbacks; read only.
};

struct LmPort {
  static constexpr DWORD kMagic = 0x4C4D5054;  // 'LMPT'
  DWORD magic = kMagic;
  const MONITOR2* portMonitor = nullptr;        // The port monitor's table.
  HANDLE portHandle = nullptr;                  // Its handle for this port.
};

constexpr DWORD kContextMagic = 0x4C4D4F4E;  // 'LMON'
MonitorContext g_context{kContextMagic, {}};

LmPort* AsPort(HANDLE h)
{
  auto* port = static_cast<LmPort*>(h);
  if (port == nullptr || port->magic != LmPort::kMagic || port->portMonitor == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return port;
}

BOOL WINAPI LmOpenPort(HANDLE, LPWSTR, PHANDLE)
{
  // A language monitor needs the port monitor underneath; OpenPortEx is
  // the only way in.
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL WINAPI LmOpenPortEx(HANDLE hMonitor, HANDLE hMonitorPort, LPWSTR pPortName, LPWSTR,
                         PHANDLE pHandle, MONITOR2* pMonitor2)
{
  if (hMonitor != &g_context || pHandle == nullptr || pMonitor2 == nullptr ||
      pMonitor2->pfnOpenPort == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto* port = new (std::nothrow) LmPort;
  if (port == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  port->portMonitor = pMonitor2;
  if (!pMonitor2->pfnOpenPort(hMonitorPort, pPortName, &port->portHandle)) {
    const DWORD error = GetLastError();
    delete port;
    SetLastError(error);
    return FALSE;
  }
  *pHandle = port;
  return TRUE;
}

BOOL WINAPI LmStartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD jobId, DWORD level, LPBYTE pDocInfo)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnStartDocPort == nullptr)
    return TRUE;
  return port->portMonitor->pfnStartDocPort(port->portHandle, pPrinterName, jobId, level, pDocInfo);
}

BOOL WINAPI LmWritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnWritePort == nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  return port->portMonitor->pfnWritePort(port->portHandle, pBuffer, cbBuf, pcbWritten);
}

BOOL WINAPI LmReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnReadPort == nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  return port->portMonitor->pfnReadPort(port->portHandle, pBuffer, cbBuffer, pcbRead);
}

BOOL WINAPI LmEndDocPort(HANDLE hPort)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnEndDocPort == nullptr)
    return TRUE;
  return port->portMonitor->pfnEndDocPort(port->portHandle);
}

BOOL WINAPI LmClosePort(HANDLE hPort)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  BOOL ok = TRUE;
  if (port->portMonitor->pfnClosePort != nullptr)
    ok = port->portMonitor->pfnClosePort(port->portHandle);
  port->magic = 0;
  delete port;
  return ok;
}

BOOL WINAPI LmGetPrinterDataFromPort(HANDLE hPort, DWORD controlId, LPWSTR pValueName, LPWSTR lpInBuffer,
                                     DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                     LPDWORD lpcbReturned)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnGetPrinterDataFromPort == nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  return port->portMonitor->pfnGetPrinterDataFromPort(port->portHandle, controlId, pValueName, lpInBuffer,
                                                     cbInBuffer, lpOutBuffer, cbOutBuffer, lpcbReturned);
}

BOOL WINAPI LmSetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  if (port->portMonitor->pfnSetPortTimeOuts == nullptr)
    return TRUE;
  return port->portMonitor->pfnSetPortTimeOuts(port->portHandle, lpCTO, reserved);
}

VOID WINAPI LmShutdown(HANDLE) {}

MONITOR2 MakeTable()
{
  MONITOR2 table{};
  table.cbSize = sizeof(MONITOR2);
  table.pfnOpenPort = LmOpenPort;
  table.pfnOpenPortEx = LmOpenPortEx;
  table.pfnStartDocPort = LmStartDocPort;
  table.pfnWritePort = LmWritePort;
  table.pfnReadPort = LmReadPort;
  table.pfnEndDocPort = LmEndDocPort;
  table.pfnClosePort = LmClosePort;
  table.pfnGetPrinterDataFromPort = LmGetPrinterDataFromPort;
  table.pfnSetPortTimeOuts = LmSetPortTimeOuts;
  table.pfnShutdown = LmShutdown;
  return table;
}

MONITOR2 g_table = MakeTable();

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
  if (reason == DLL_PROCESS_ATTACH)
    DisableThreadLibraryCalls(instance);
  return TRUE;
}

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT pMonitorInit,
                                                                           PHANDLE phMonitor)
{
  if (pMonitorInit == nullptr || phMonitor == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const DWORD size = pMonitorInit->cbSize < sizeof(MONITORINIT) ? pMonitorInit->cbSize : sizeof(MONITORINIT);
  CopyMemory(&g_context.init, pMonitorInit, size);
  *phMonitor = &g_context;
  return &g_table;
}
