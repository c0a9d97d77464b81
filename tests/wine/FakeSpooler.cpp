#include "tests/wine/FakeSpooler.h"

#include <cstring>

namespace vkp::test {

namespace {
std::string Text(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

// DRIVER_INFO_1/3/4 all start with the name (after cVersion for 3 and 4).
BOOL ListDrivers(const std::set<std::string>& names, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                 LPDWORD count) {
  const std::size_t item = level == 1 ? sizeof(DRIVER_INFO_1A) : level == 3 ? sizeof(DRIVER_INFO_3A) : sizeof(DRIVER_INFO_4A);
  DWORD bytes = static_cast<DWORD>(names.size() * item);
  for (const auto& name : names) bytes += static_cast<DWORD>(name.size() + 1);
  *needed = bytes;
  *count = 0;
  if (buffer == nullptr || size < bytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(buffer, 0, bytes);
  char* text = reinterpret_cast<char*>(buffer + names.size() * item);
  std::size_t index = 0;
  for (const auto& name : names) {
    std::memcpy(text, name.c_str(), name.size() + 1);
    BYTE* entry = buffer + index * item;
    if (level == 1) {
      reinterpret_cast<DRIVER_INFO_1A*>(entry)->pName = text;
    } else if (level == 3) {
      reinterpret_cast<DRIVER_INFO_3A*>(entry)->pName = text;
    } else {
      reinterpret_cast<DRIVER_INFO_4A*>(entry)->pName = text;
    }
    text += name.size() + 1;
    ++index;
  }
  *count = static_cast<DWORD>(names.size());
  return TRUE;
}

HANDLE FakeHandle(int n) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7F000000 + n)); }
}  // namespace

FakeSpooler::FakeSpooler(FakeOs& os) {
  os.Replace<&PlatformApi::EnumPrinterDriversA>(
      [this](LPSTR, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
        return ListDrivers(drivers[Text(environment)], level, buffer, size, needed, count);
      });
  os.Replace<&PlatformApi::OpenPrinterA>([this](LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA) -> BOOL {
    const std::string printer = Text(name);
    openedNames.push_back(printer);
    if (printer.rfind(",XcvMonitor ", 0) == 0 || printers.count(printer) != 0) {
      *handle = FakeHandle(1);
      return TRUE;
    }
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  });
  os.Replace<&PlatformApi::ClosePrinter>([](HANDLE) -> BOOL { return TRUE; });
  os.Replace<&PlatformApi::XcvDataW>(
      [this](HANDLE, PCWSTR, PBYTE input, DWORD inputSize, PBYTE, DWORD, PDWORD needed, PDWORD status) -> BOOL {
        xcvInputs.emplace_back(input, input + inputSize);
        *needed = 0;
        *status = ERROR_SUCCESS;
        return TRUE;
      });
  os.Replace<&PlatformApi::AddMonitorA>([this](LPSTR, DWORD, LPBYTE info) -> BOOL {
    const auto* monitor = reinterpret_cast<MONITOR_INFO_2A*>(info);
    monitorNames.push_back(Text(monitor->pName));
    monitorEnvironments.push_back(Text(monitor->pEnvironment));
    monitorDlls.push_back(Text(monitor->pDLLName));
    return TRUE;
  });
  os.Replace<&PlatformApi::AddPrintProcessorA>([this](LPSTR, LPSTR environment, LPSTR path, LPSTR name) -> BOOL {
    processorCalls.push_back(Text(environment) + "|" + Text(path) + "|" + Text(name));
    return TRUE;
  });
  os.Replace<&PlatformApi::AddPrinterDriverA>([this](LPSTR, DWORD level, LPBYTE info) -> BOOL {
    if (level != 3) return FALSE;
    const auto* d = reinterpret_cast<DRIVER_INFO_3A*>(info);
    CapturedDriver captured{Text(d->pName),     Text(d->pEnvironment), Text(d->pDriverPath), Text(d->pDataFile),
                            Text(d->pConfigFile), Text(d->pHelpFile), Text(d->pMonitorName), Text(d->pDefaultDataType),
                            d->cVersion,        {}};
    for (const char* file = d->pDependentFiles; file != nullptr && *file != '\0'; file += std::strlen(file) + 1)
      captured.dependentFiles.emplace_back(file);
    addedDrivers.push_back(captured);
    drivers[Text(d->pEnvironment)].insert(Text(d->pName));
    return TRUE;
  });
  os.Replace<&PlatformApi::AddPrinterA>([this](LPSTR, DWORD, LPBYTE info) -> HANDLE {
    const auto* p = reinterpret_cast<PRINTER_INFO_2A*>(info);
    addedPrinters.push_back({Text(p->pPrinterName), Text(p->pPortName), Text(p->pDriverName), Text(p->pPrintProcessor),
                             Text(p->pDatatype), p->Attributes, p->Priority, p->Status});
    printers.insert(Text(p->pPrinterName));
    return FakeHandle(2);
  });
  os.Replace<&PlatformApi::CreateProcessA>(
      [this](LPCSTR, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
             LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) -> BOOL {
        commandLines.emplace_back(line);
        startups.push_back(*startup);
        process->hProcess = FakeHandle(3);
        process->hThread = FakeHandle(4);
        if (!printUiInstallsIn.empty()) drivers[printUiInstallsIn].insert("NORVEKA VKP-M200");
        return TRUE;
      });
  os.Replace<&PlatformApi::WaitForSingleObject>([this](HANDLE, DWORD) { return waitResult; });
  os.Replace<&PlatformApi::CloseHandle>([real = RealOs().CloseHandle](HANDLE handle) -> BOOL {
    const auto value = reinterpret_cast<uintptr_t>(handle);
    if (value >= 0x7F000000 && value < 0x7F000010) return TRUE;  // ours
    return real(handle);
  });
  os.Replace<&PlatformApi::CopyFileA>([this](LPCSTR source, LPCSTR target, BOOL) -> BOOL {
    copies.emplace_back(Text(source), Text(target));
    return TRUE;
  });
  os.Replace<&PlatformApi::SetupCopyOEMInfA>([this](PCSTR, PCSTR, DWORD, DWORD, PSTR destination, DWORD size,
                                                     PDWORD required, PSTR*) -> BOOL {
    if (destination != nullptr && size > oemInf.size()) std::memcpy(destination, oemInf.c_str(), oemInf.size() + 1);
    if (required != nullptr) *required = static_cast<DWORD>(oemInf.size() + 1);
    return TRUE;
  });
}

}  // namespace vkp::test
