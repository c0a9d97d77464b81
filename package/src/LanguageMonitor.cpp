// ZEM Language Monitor VKP-M200: a pass-through language monitor.
//
// The spooler opens a port through OpenPortEx and hands over the port
// monitor's MONITOR2 table; every port call is forwarded to that table with
// the port monitor's own handle. The monitor adds nothing to the data stream,
// so a job reaches the port byte for byte. It exposes no ports of its own
// (no EnumPorts), as language monitors must not.
#include "SpoolerDll.h"

namespace {

using vkpdll::Fail;

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
  LmPort* port = vkpdll::FromHandle<LmPort>(h);
  if (port != nullptr && port->portMonitor == nullptr)
    return Fail(ERROR_INVALID_HANDLE);
  return port;
}

BOOL WINAPI LmOpenPort(HANDLE, LPWSTR, PHANDLE)
{
  // A language monitor needs the port monitor underneath; OpenPortEx is
  // the only way in.
  return Fail(ERROR_NOT_SUPPORTED);
}

BOOL WINAPI LmOpenPortEx(HANDLE hMonitor, HANDLE hMonitorPort, LPWSTR pPortName, LPWSTR,
                         PHANDLE pHandle, MONITOR2* pMonitor2)
{
  if (hMonitor != &g_context || pHandle == nullptr || pMonitor2 == nullptr ||
      pMonitor2->pfnOpenPort == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  auto* port = vkpdll::New<LmPort>();
  if (port == nullptr)
    return FALSE;
  port->portMonitor = pMonitor2;
  if (!pMonitor2->pfnOpenPort(hMonitorPort, pPortName, &port->portHandle)) {
    const DWORD error = GetLastError();
    delete port;
    return Fail(error);
  }
  *pHandle = port;
  return TRUE;
}

// What a port call does when the port monitor lacks the function: nothing
// to pass on (start, end, time-outs) or a call that cannot be answered.
enum class WhenMissing { kSucceed, kUnsupported };

// Passes a port call on to the port monitor's function in `slot`, with the
// port monitor's own handle for the port.
template <typename Fn, typename... Args>
BOOL Forward(HANDLE hPort, Fn MONITOR2::*slot, WhenMissing missing, Args... args)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  const Fn fn = port->portMonitor->*slot;
  if (fn != nullptr)
    return fn(port->portHandle, args...);
  if (missing == WhenMissing::kSucceed)
    return TRUE;
  return Fail(ERROR_NOT_SUPPORTED);
}

BOOL WINAPI LmStartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD jobId, DWORD level, LPBYTE pDocInfo)
{
  return Forward(hPort, &MONITOR2::pfnStartDocPort, WhenMissing::kSucceed, pPrinterName, jobId, level, pDocInfo);
}

BOOL WINAPI LmWritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten)
{
  return Forward(hPort, &MONITOR2::pfnWritePort, WhenMissing::kUnsupported, pBuffer, cbBuf, pcbWritten);
}

BOOL WINAPI LmReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead)
{
  return Forward(hPort, &MONITOR2::pfnReadPort, WhenMissing::kUnsupported, pBuffer, cbBuffer, pcbRead);
}

BOOL WINAPI LmEndDocPort(HANDLE hPort)
{
  return Forward(hPort, &MONITOR2::pfnEndDocPort, WhenMissing::kSucceed);
}

BOOL WINAPI LmClosePort(HANDLE hPort)
{
  LmPort* port = AsPort(hPort);
  if (port == nullptr)
    return FALSE;
  BOOL ok = TRUE;
  if (port->portMonitor->pfnClosePort != nullptr)
    ok = port->portMonitor->pfnClosePort(port->portHandle);
  vkpdll::Destroy(port);
  return ok;
}

BOOL WINAPI LmGetPrinterDataFromPort(HANDLE hPort, DWORD controlId, LPWSTR pValueName, LPWSTR lpInBuffer,
                                     DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                     LPDWORD lpcbReturned)
{
  return Forward(hPort, &MONITOR2::pfnGetPrinterDataFromPort, WhenMissing::kUnsupported, controlId, pValueName,
                 lpInBuffer, cbInBuffer, lpOutBuffer, cbOutBuffer, lpcbReturned);
}

BOOL WINAPI LmSetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved)
{
  return Forward(hPort, &MONITOR2::pfnSetPortTimeOuts, WhenMissing::kSucceed, lpCTO, reserved);
}

VOID WINAPI LmShutdown(HANDLE) {}

MONITOR2 MakeTable()
{
  MONITOR2 table = vkpdll::PortTable(LmOpenPort, LmStartDocPort, LmWritePort, LmReadPort, LmEndDocPort,
                                     LmClosePort);
  table.pfnOpenPortEx = LmOpenPortEx;
  table.pfnGetPrinterDataFromPort = LmGetPrinterDataFromPort;
  table.pfnSetPortTimeOuts = LmSetPortTimeOuts;
  table.pfnShutdown = LmShutdown;
  return table;
}

MONITOR2 g_table = MakeTable();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT pMonitorInit,
                                                                           PHANDLE phMonitor)
{
  if (pMonitorInit == nullptr || phMonitor == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  const DWORD size = pMonitorInit->cbSize < sizeof(MONITORINIT) ? pMonitorInit->cbSize : sizeof(MONITORINIT);
  CopyMemory(&g_context.init, pMonitorInit, size);
  *phMonitor = &g_context;
  return &g_table;
}
