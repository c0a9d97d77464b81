#include "tests/wine/FakeSpooler.h"

#include <cstring>

namespace vkp::test {

namespace {
constexpr char kModel[] = "NORVEKA VKP-M200";
constexpr char kMonitor[] = "ZEM Language Monitor VKP-M200";
constexpr char kProcessor[] = "ZEM PRINT PROCESSOR VKP-M200";
constexpr char kUninstallParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUninstallName[] = "NORVEKA_VKP-M200";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVEKA_VKP-M200";

std::string Text(const char* s) { return s != nullptr ? std::string(s) : std::string(); }
// This 32-bit program's own environment is "" (NULL) and "Windows NT x86" alike.
std::string Env(const char* s) {
  const std::string env = Text(s);
  return env == "Windows NT x86" ? std::string() : env;
}

// Lists records of type T, each filled by `fill(record, name)` with the
// name copied behind the records.
template <typename T, typename Fill>
BOOL ListNamed(const std::vector<std::string>& names, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count,
               Fill fill) {
  DWORD bytes = static_cast<DWORD>(names.size() * sizeof(T));
  for (const auto& name : names) bytes += static_cast<DWORD>(name.size() + 1);
  *needed = bytes;
  *count = 0;
  if (buffer == nullptr || size < bytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(buffer, 0, bytes);
  char* text = reinterpret_cast<char*>(buffer + names.size() * sizeof(T));
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::memcpy(text, names[i].c_str(), names[i].size() + 1);
    fill(reinterpret_cast<T*>(buffer)[i], text, i);
    text += names[i].size() + 1;
  }
  *count = static_cast<DWORD>(names.size());
  return TRUE;
}

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

void FakeSpooler::InstallModel(const std::string& environment, bool uninstallEntry) {
  drivers[Env(environment.c_str())].insert(kModel);
  processors[Env(environment.c_str())].insert(kProcessor);
  monitorsListed.insert(kMonitor);
  if (!uninstallEntry) return;
  char self[MAX_PATH] = "";
  RealOs().GetModuleFileNameA(nullptr, self, MAX_PATH);
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    if (RealOs().RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                                 nullptr) != ERROR_SUCCESS)
      continue;
    for (const char* name : {"UninstallString", "QuietUninstallString"})
      RealOs().RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(self),
                              static_cast<DWORD>(std::strlen(self) + 1));
    RealOs().RegCloseKey(key);
  }
}

FakeSpooler::~FakeSpooler() {
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY parent = nullptr;
    if (RealOs().RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallParent, 0, KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS)
      continue;
    RealOs().SHDeleteKeyA(parent, kUninstallName);
    RealOs().RegCloseKey(parent);
  }
}

FakeSpooler::FakeSpooler(FakeOs& os) {
  os.Replace<&PlatformApi::EnumPrinterDriversA>(
      [this](LPSTR, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
        return ListDrivers(drivers[Env(environment)], level, buffer, size, needed, count);
      });
  os.Replace<&PlatformApi::EnumPrintProcessorsA>(
      [this](LPSTR, LPSTR environment, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
        const std::set<std::string>& listed = processors[Env(environment)];
        return ListNamed<PRINTPROCESSOR_INFO_1A>({listed.begin(), listed.end()}, buffer, size, needed, count,
                                                 [](PRINTPROCESSOR_INFO_1A& p, char* name, std::size_t) { p.pName = name; });
      });
  os.Replace<&PlatformApi::EnumMonitorsA>([this](LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed,
                                                 LPDWORD count) {
    return ListNamed<MONITOR_INFO_1A>({monitorsListed.begin(), monitorsListed.end()}, buffer, size, needed, count,
                                      [](MONITOR_INFO_1A& m, char* name, std::size_t) { m.pName = name; });
  });
  // Level 2 with name, driver and port; the port and driver texts point into
  // the recorded printers, which outlive the call.
  os.Replace<&PlatformApi::EnumPrintersA>([this](DWORD, LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed,
                                                 LPDWORD count) {
    std::vector<std::string> names;
    for (const auto& printer : listedPrinters) names.push_back(printer.name);
    return ListNamed<PRINTER_INFO_2A>(names, buffer, size, needed, count,
                                      [this](PRINTER_INFO_2A& p, char* name, std::size_t i) {
                                        p.pPrinterName = name;
                                        p.pDriverName = const_cast<char*>(listedPrinters[i].driver.c_str());
                                        p.pPortName = const_cast<char*>(listedPrinters[i].port.c_str());
                                      });
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
    monitorsListed.insert(Text(monitor->pName));
    return TRUE;
  });
  os.Replace<&PlatformApi::AddPrintProcessorA>([this](LPSTR, LPSTR environment, LPSTR path, LPSTR name) -> BOOL {
    processorCalls.push_back(Text(environment) + "|" + Text(path) + "|" + Text(name));
    processors[Env(environment)].insert(Text(name));
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
    drivers[Env(d->pEnvironment)].insert(Text(d->pName));
    return TRUE;
  });
  os.Replace<&PlatformApi::AddPrinterA>([this](LPSTR, DWORD, LPBYTE info) -> HANDLE {
    const auto* p = reinterpret_cast<PRINTER_INFO_2A*>(info);
    addedPrinters.push_back({Text(p->pPrinterName), Text(p->pPortName), Text(p->pDriverName), Text(p->pPrintProcessor),
                             Text(p->pDatatype), p->Attributes, p->Priority, p->Status});
    listedPrinters.push_back(addedPrinters.back());
    printers.insert(Text(p->pPrinterName));
    return FakeHandle(2);
  });
  os.Replace<&PlatformApi::CreateProcessA>(
      [this](LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
             LPCSTR directory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) -> BOOL {
        process->hProcess = FakeHandle(3);
        process->hThread = FakeHandle(4);
        if (Text(line).rfind("net ", 0) == 0) {
          spoolerCommands.emplace_back(line);
          return TRUE;
        }
        commandLines.emplace_back(line);
        programs.push_back(Text(program));
        startDirectories.push_back(Text(directory));
        startups.push_back(*startup);
        if (!printUiInstallsIn.empty()) {
          InstallModel(printUiInstallsIn);
          // "/r "PORT"" names the printer's port; the /ia form (USB) adds no printer.
          const std::string command = Text(line);
          const auto port = command.find("/r \"");
          if (printUiAddsPrinter && port != std::string::npos) {
            const auto end = command.find('"', port + 4);
            listedPrinters.push_back({kModel, command.substr(port + 4, end - port - 4), kModel, kProcessor, "RAW", 0, 0, 0});
            printers.insert(kModel);
          }
        }
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
