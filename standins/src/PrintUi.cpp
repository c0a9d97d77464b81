// printui.dll stand-in for Wine test prefixes.
//
// Wine's printui parses PrintUIEntry's options but carries none out. This one
// implements the three forms the installer uses:
//   /ia /m MODEL /f INF                    install the driver of MODEL
//   /if /b NAME /f INF /r PORT /m MODEL    install the driver and add printer NAME
//   ... /u                                 use the installed driver if there is one
// Driver installation: INF into the INF store (SetupCopyOEMInfW), files of the
// copy's own architecture copied as the INF's CopyFiles sections say, language
// monitor, print processor and driver registered with the spooler, in the
// copy's own environment only: as strict as Windows, so that a test sees an
// installer that starts the wrong rundll32. Options are read as printui reads
// them: case-sensitive, values attached or separate; /y (make the printer the
// default) is left out, so that /y written for /Y fails.
// Every executed command line is appended to C:\windows\temp\printui-standin.log;
// failures end rundll32 with the error code as exit code, or, without /q,
// with kErrorBoxWithoutQuiet: Windows' printui would show its error box and
// wait for a user.
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace {

#ifdef _WIN64
constexpr wchar_t kEnvironment[] = L"Windows x64";
constexpr wchar_t kArchitecture[] = L"x64";  // as /h names it
constexpr wchar_t kInfArch[] = L"amd64";
constexpr wchar_t kModelDecoration[] = L"NTamd64";
#else
constexpr wchar_t kEnvironment[] = L"Windows NT x86";
constexpr wchar_t kArchitecture[] = L"x86";
constexpr wchar_t kInfArch[] = L"x86";
constexpr wchar_t kModelDecoration[] = L"NTx86";
#endif

// The exit code of a failure without /q, where Windows would wait in a box.
constexpr DWORD kErrorBoxWithoutQuiet = ERROR_CANCELLED;
constexpr wchar_t kUserModeDriver[] = L"Type 3 - User Mode";

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle()
  {
    if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE)
      CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

class Inf {
 public:
  explicit Inf(const std::wstring& path)
      : h_(SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr)) {}
  ~Inf()
  {
    if (h_ != INVALID_HANDLE_VALUE)
      SetupCloseInfFile(h_);
  }
  Inf(const Inf&) = delete;
  Inf& operator=(const Inf&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HINF Get() const { return h_; }

 private:
  HINF h_;
};

std::wstring WindowsDir()
{
  wchar_t buf[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  return (n > 0 && n < MAX_PATH) ? std::wstring(buf, n) : std::wstring(L"C:\\windows");
}

std::string ToUtf8(const std::wstring& text)
{
  if (text.empty())
    return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

void AppendLine(const wchar_t* fileName, const std::wstring& line)
{
  const std::wstring dir = WindowsDir() + L"\\temp";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring path = dir + L"\\" + fileName;
  Handle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid())
    return;
  const std::string bytes = ToUtf8(line) + "\r\n";
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The command lines the tests look for, one per executed command.
void LogCommand(const std::wstring& args) { AppendLine(L"printui-standin.log", args); }

// Diagnostics: which step failed and with what code.
void Trace(const std::wstring& text)
{
  AppendLine(L"printui-standin-trace.log", std::wstring(kEnvironment) + L": " + text);
}

DWORD Fail(const std::wstring& what, DWORD error)
{
  if (error == ERROR_SUCCESS)
    error = ERROR_GEN_FAILURE;
  Trace(what + L" failed (" + std::to_wstring(error) + L")");
  return error;
}

bool IEquals(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

// ---------------------------------------------------------------- arguments

struct Command {
  bool installDriver = false;  // /ia
  bool installPrinter = false; // /if
  bool useInstalled = false;   // /u
  bool quiet = false;          // /q
  bool keepName = false;       // /Y: no generated name for a taken one
  bool noWarnings = false;     // /Gw
  std::wstring printerName;    // /b
  std::wstring inf;            // /f
  std::wstring port;           // /r
  std::wstring model;          // /m
  std::wstring architecture;   // /h
  std::wstring version;        // /v
};

std::vector<std::wstring> Tokenize(const wchar_t* text)
{
  std::vector<std::wstring> tokens;
  const wchar_t* p = text != nullptr ? text : L"";
  for (;;) {
    while (*p == L' ' || *p == L'\t')
      ++p;
    if (*p == 0)
      break;
    std::wstring token;
    bool quoted = false;
    while (*p != 0 && (quoted || (*p != L' ' && *p != L'\t'))) {
      if (*p == L'"')
        quoted = !quoted;
      else
        token.push_back(*p);
      ++p;
    }
    tokens.push_back(token);
  }
  return tokens;
}

struct FlagOption {
  const wchar_t* name;
  bool Command::*member;
};
struct ValueOption {
  const wchar_t* name;
  std::wstring Command::*member;
};
constexpr FlagOption kFlags[] = {{L"/ia", &Command::installDriver}, {L"/if", &Command::installPrinter},
                                 {L"/u", &Command::useInstalled},     {L"/q", &Command::quiet},
                                 {L"/Y", &Command::keepName},         {L"/Gw", &Command::noWarnings}};
constexpr ValueOption kValues[] = {{L"/b", &Command::printerName}, {L"/f", &Command::inf},
                                   {L"/r", &Command::port},        {L"/m", &Command::model},
                                   {L"/h", &Command::architecture}, {L"/v", &Command::version}};

// ERROR_SUCCESS, ERROR_INVALID_PARAMETER for what printui would not take, or
// ERROR_INVALID_ENVIRONMENT for an architecture this copy does not install.
DWORD Parse(const wchar_t* text, Command& cmd)
{
  const std::vector<std::wstring> tokens = Tokenize(text);
  for (const std::wstring& t : tokens)
    cmd.quiet = cmd.quiet || t == L"/q";  // known even when another option is bad
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::wstring& t = tokens[i];
    bool known = false;
    for (const FlagOption& flag : kFlags) {
      if (t == flag.name) {
        cmd.*flag.member = true;
        known = true;
      }
    }
    for (const ValueOption& option : kValues) {
      const size_t length = lstrlenW(option.name);
      if (known || t.compare(0, length, option.name) != 0)
        continue;
      known = true;
      if (t.size() > length) {
        cmd.*option.member = t.substr(length);  // attached: /b"NAME", /rCOM1:
      } else {
        if (i + 1 >= tokens.size() || tokens[i + 1].empty())
          return ERROR_INVALID_PARAMETER;
        cmd.*option.member = tokens[++i];
      }
    }
    if (!known)
      return ERROR_INVALID_PARAMETER;
  }
  if (cmd.installDriver == cmd.installPrinter || cmd.model.empty())
    return ERROR_INVALID_PARAMETER;
  if (cmd.installPrinter && (cmd.printerName.empty() || cmd.port.empty()))
    return ERROR_INVALID_PARAMETER;
  if (!cmd.version.empty() && cmd.version != kUserModeDriver)
    return ERROR_INVALID_PARAMETER;
  if (!cmd.architecture.empty() && cmd.architecture != L"x86" && cmd.architecture != L"x64")
    return ERROR_INVALID_PARAMETER;
  if (!cmd.architecture.empty() && cmd.architecture != kArchitecture)
    return ERROR_INVALID_ENVIRONMENT;
  return ERROR_SUCCESS;
}

// ---------------------------------------------------------------- INF reading

std::wstring Field(INFCONTEXT& ctx, DWORD index)
{
  wchar_t buf[512] = {};
  DWORD needed = 0;
  if (!SetupGetStringFieldW(&ctx, index, buf, 512, &needed))
    return std::wstring();
  return buf;
}

std::wstring LineValue(HINF inf, const std::wstring& section, const wchar_t* key)
{
  INFCONTEXT ctx;
  if (!SetupFindFirstLineW(inf, section.c_str(), key, &ctx))
    return std::wstring();
  return Field(ctx, 1);
}

// "Name,File.dll" -> name and file.
bool SplitPair(const std::wstring& text, std::wstring& name, std::wstring& file)
{
  const size_t comma = text.rfind(L',');
  if (comma == std::wstring::npos || comma == 0 || comma + 1 >= text.size())
    return false;
  name = text.substr(0, comma);
  file = text.substr(comma + 1);
  return true;
}

std::wstring FindInstallSection(HINF inf, const std::wstring& model)
{
  INFCONTEXT mfg;
  if (!SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &mfg))
    return std::wstring();
  do {
    const std::wstring base = Field(mfg, 1);
    std::wstring section = base;
    const DWORD count = SetupGetFieldCount(&mfg);
    for (DWORD i = 2; i <= count; ++i) {
      if (IEquals(Field(mfg, i), kModelDecoration))
        section = base + L"." + kModelDecoration;
    }
    INFCONTEXT line;
    if (SetupFindFirstLineW(inf, section.c_str(), model.c_str(), &line))
      return Field(line, 1);
  } while (SetupFindNextLine(&mfg, &mfg));
  return std::wstring();
}

struct Dirs {
  std::wstring driver;     // 66000
  std::wstring processor;  // 66001
  std::wstring system;     // 66002, 11
};

DWORD ReadDirs(Dirs& dirs)
{
  wchar_t buf[MAX_PATH] = {};
  DWORD needed = 0;
  std::wstring env = kEnvironment;
  if (!GetPrinterDriverDirectoryW(nullptr, env.data(), 1, reinterpret_cast<LPBYTE>(buf), sizeof(buf), &needed))
    return Fail(L"GetPrinterDriverDirectoryW", GetLastError());
  dirs.driver = buf;
  if (!GetPrintProcessorDirectoryW(nullptr, env.data(), 1, reinterpret_cast<LPBYTE>(buf), sizeof(buf), &needed))
    return Fail(L"GetPrintProcessorDirectoryW", GetLastError());
  dirs.processor = buf;
  const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return Fail(L"GetSystemDirectoryW", GetLastError());
  dirs.system = buf;
  return ERROR_SUCCESS;
}

bool DestinationFor(HINF inf, const std::wstring& section, const Dirs& dirs, std::wstring& dest, DWORD& dirId)
{
  INFCONTEXT ctx;
  if (!SetupFindFirstLineW(inf, L"DestinationDirs", section.c_str(), &ctx) &&
      !SetupFindFirstLineW(inf, L"DestinationDirs", L"DefaultDestDir", &ctx))
    return false;
  INT id = 0;
  if (!SetupGetIntField(&ctx, 1, &id))
    return false;
  dirId = static_cast<DWORD>(id);
  switch (id) {
    case 66000: dest = dirs.driver; break;
    case 66001: dest = dirs.processor; break;
    case 66002:
    case 11: dest = dirs.system; break;
    case 10: dest = WindowsDir(); break;
    default: return false;
  }
  const std::wstring sub = Field(ctx, 2);
  if (!sub.empty())
    dest += L"\\" + sub;
  return true;
}

// Source of a file: <INF folder>\<disk path>[\<subdir>]\<name> from the
// architecture's SourceDisksFiles/SourceDisksNames sections.
bool SourceFor(HINF inf, const std::wstring& infDir, const std::wstring& name, std::wstring& source)
{
  const std::wstring filesArch = std::wstring(L"SourceDisksFiles.") + kInfArch;
  const std::wstring namesArch = std::wstring(L"SourceDisksNames.") + kInfArch;
  INFCONTEXT ctx;
  if (!SetupFindFirstLineW(inf, filesArch.c_str(), name.c_str(), &ctx) &&
      !SetupFindFirstLineW(inf, L"SourceDisksFiles", name.c_str(), &ctx))
    return false;
  const std::wstring disk = Field(ctx, 1);
  const std::wstring subdir = Field(ctx, 2);
  INFCONTEXT diskCtx;
  if (!SetupFindFirstLineW(inf, namesArch.c_str(), disk.c_str(), &diskCtx) &&
      !SetupFindFirstLineW(inf, L"SourceDisksNames", disk.c_str(), &diskCtx))
    return false;
  source = infDir;
  const std::wstring path = Field(diskCtx, 4);
  if (!path.empty())
    source += L"\\" + path;
  if (!subdir.empty())
    source += L"\\" + subdir;
  source += L"\\" + name;
  return true;
}

DWORD CopyOne(const std::wstring& src, const std::wstring& dst)
{
  if (!CopyFileW(src.c_str(), dst.c_str(), FALSE))
    return Fail(L"CopyFileW " + src + L" -> " + dst, GetLastError());
  return ERROR_SUCCESS;
}

// Copies every file of the install section's CopyFiles entries; collects the
// names that went to the printer-driver directory.
DWORD CopyDriverFiles(HINF inf, const std::wstring& infDir, const std::wstring& installSection, const Dirs& dirs,
                      std::vector<std::wstring>& driverFiles)
{
  INFCONTEXT copy;
  if (!SetupFindFirstLineW(inf, installSection.c_str(), L"CopyFiles", &copy))
    return Fail(L"CopyFiles in " + installSection, ERROR_INVALID_DATA);
  do {
    wchar_t key[64] = {};
    if (!SetupGetStringFieldW(&copy, 0, key, 64, nullptr) || lstrcmpiW(key, L"CopyFiles") != 0)
      continue;
    const DWORD count = SetupGetFieldCount(&copy);
    for (DWORD i = 1; i <= count; ++i) {
      const std::wstring entry = Field(copy, i);
      if (entry.empty())
        continue;
      std::wstring dest;
      DWORD dirId = 0;
      if (entry[0] == L'@') {
        const std::wstring name = entry.substr(1);
        std::wstring src;
        if (!DestinationFor(inf, L"DefaultDestDir", dirs, dest, dirId) || !SourceFor(inf, infDir, name, src))
          return Fail(L"file entry " + entry, ERROR_INVALID_DATA);
        if (const DWORD e = CopyOne(src, dest + L"\\" + name))
          return e;
        if (dirId == 66000)
          driverFiles.push_back(name);
        continue;
      }
      if (!DestinationFor(inf, entry, dirs, dest, dirId))
        return Fail(L"DestinationDirs for " + entry, ERROR_INVALID_DATA);
      CreateDirectoryW(dest.c_str(), nullptr);
      INFCONTEXT line;
      if (!SetupFindFirstLineW(inf, entry.c_str(), nullptr, &line))
        continue;
      do {
        const std::wstring target = Field(line, 1);
        std::wstring sourceName = Field(line, 2);
        if (sourceName.empty())
          sourceName = target;
        std::wstring src;
        if (target.empty() || !SourceFor(inf, infDir, sourceName, src))
          return Fail(L"source of " + target, ERROR_FILE_NOT_FOUND);
        if (const DWORD e = CopyOne(src, dest + L"\\" + target))
          return e;
        if (dirId == 66000)
          driverFiles.push_back(target);
      } while (SetupFindNextLine(&line, &line));
    }
  } while (SetupFindNextMatchLineW(&copy, L"CopyFiles", &copy));
  return ERROR_SUCCESS;
}

struct DriverInfo {
  std::wstring processorName;  // From the INF; empty when it names none.
};

// Looked up in the registry: Wine's EnumPrintProcessorsW stops listing at
// the "winprint" key, so processors that sort after it never show.
bool ProcessorRegistered(const std::wstring& name)
{
  const std::wstring path = std::wstring(L"System\\CurrentControlSet\\Control\\Print\\Environments\\") +
                            kEnvironment + L"\\Print Processors\\" + name;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool DriverInstalled(const std::wstring& model)
{
  std::wstring env = kEnvironment;
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, env.data(), 1, nullptr, 0, &needed, &count);
  if (needed == 0)
    return false;
  std::vector<BYTE> buf(needed);
  if (!EnumPrinterDriversW(nullptr, env.data(), 1, buf.data(), needed, &needed, &count))
    return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pName != nullptr && model == info[i].pName)
      return true;
  return false;
}

bool PortExists(const std::wstring& port)
{
  DWORD needed = 0, count = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0)
    return false;
  std::vector<BYTE> buf(needed);
  if (!EnumPortsW(nullptr, 1, buf.data(), needed, &needed, &count))
    return false;
  const auto* info = reinterpret_cast<const PORT_INFO_1W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pName != nullptr && lstrcmpiW(info[i].pName, port.c_str()) == 0)
      return true;
  return false;
}

std::wstring FullPath(const std::wstring& path)
{
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, buf, nullptr);
  return (n > 0 && n < MAX_PATH) ? std::wstring(buf, n) : path;
}

// The model's install section of the INF just opened from infPath.
DWORD ModelSection(const Inf& inf, const std::wstring& infPath, const std::wstring& model, std::wstring& section)
{
  if (!inf.Valid())
    return Fail(L"SetupOpenInfFileW " + infPath, GetLastError());
  section = FindInstallSection(inf.Get(), model);
  if (section.empty())
    return Fail(L"model " + model, ERROR_UNKNOWN_PRINTER_DRIVER);
  return ERROR_SUCCESS;
}

// The processor name of the model's install section (for /if /u too); empty
// when the INF names none or cannot be read (the reason is traced).
std::wstring ProcessorName(const std::wstring& infPath, const std::wstring& model)
{
  Inf inf(infPath);
  std::wstring section, name, file;
  if (ModelSection(inf, infPath, model, section) == ERROR_SUCCESS)
    SplitPair(LineValue(inf.Get(), section, L"PrintProcessor"), name, file);
  return name;
}

DWORD InstallDriver(const std::wstring& infPath, const std::wstring& model, DriverInfo& info)
{
  Inf inf(infPath);
  std::wstring section;
  if (const DWORD e = ModelSection(inf, infPath, model, section))
    return e;
  const size_t slash = infPath.find_last_of(L"\\/");
  const std::wstring infDir = slash == std::wstring::npos ? std::wstring(L".") : infPath.substr(0, slash);

  // The INF store first, as Windows stages the package before installing.
  wchar_t stored[MAX_PATH] = {};
  if (!SetupCopyOEMInfW(infPath.c_str(), nullptr, SPOST_PATH, 0, stored, MAX_PATH, nullptr, nullptr) &&
      GetLastError() != ERROR_FILE_EXISTS)
    return Fail(L"SetupCopyOEMInfW", GetLastError());
  Trace(L"INF stored as " + std::wstring(stored));

  Dirs dirs;
  if (const DWORD e = ReadDirs(dirs))
    return e;
  std::vector<std::wstring> driverFiles;
  if (const DWORD e = CopyDriverFiles(inf.Get(), infDir, section, dirs, driverFiles))
    return e;

  std::wstring env = kEnvironment;
  std::wstring monitorName, monitorDll;
  const std::wstring monitor = LineValue(inf.Get(), section, L"LanguageMonitor");
  if (!monitor.empty()) {
    if (!SplitPair(monitor, monitorName, monitorDll))
      return Fail(L"LanguageMonitor " + monitor, ERROR_INVALID_DATA);
    MONITOR_INFO_2W mi{};
    mi.pName = monitorName.data();
    mi.pEnvironment = env.data();
    mi.pDLLName = monitorDll.data();
    if (!AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&mi)) &&
        GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
      return Fail(L"AddMonitorW " + monitorName, GetLastError());
  }

  const std::wstring processor = LineValue(inf.Get(), section, L"PrintProcessor");
  if (!processor.empty()) {
    std::wstring processorDll;
    if (!SplitPair(processor, info.processorName, processorDll))
      return Fail(L"PrintProcessor " + processor, ERROR_INVALID_DATA);
    if (!AddPrintProcessorW(nullptr, env.data(), processorDll.data(), info.processorName.data()) &&
        GetLastError() != ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED)
      return Fail(L"AddPrintProcessorW " + info.processorName, GetLastError());
  }

  const std::wstring driverFile = LineValue(inf.Get(), section, L"DriverFile");
  const std::wstring dataFile = LineValue(inf.Get(), section, L"DataFile");
  const std::wstring configFile = LineValue(inf.Get(), section, L"ConfigFile");
  const std::wstring helpFile = LineValue(inf.Get(), section, L"HelpFile");
  std::wstring dataType = LineValue(inf.Get(), section, L"DefaultDataType");
  if (driverFile.empty() || dataFile.empty() || configFile.empty())
    return Fail(L"driver files of " + section, ERROR_INVALID_DATA);

  auto inDriverDir = [&](const std::wstring& name) { return dirs.driver + L"\\" + name; };
  std::wstring driverPath = inDriverDir(driverFile), dataPath = inDriverDir(dataFile),
               configPath = inDriverDir(configFile), helpPath = helpFile.empty() ? L"" : inDriverDir(helpFile);
  std::wstring dependent;  // Multi-string: the other files of the driver directory.
  for (const std::wstring& f : driverFiles) {
    if (IEquals(f, driverFile.c_str()) || IEquals(f, dataFile.c_str()) || IEquals(f, configFile.c_str()) ||
        IEquals(f, helpFile.c_str()))
      continue;
    dependent += f;
    dependent.push_back(L'\0');
  }
  dependent.push_back(L'\0');

  DRIVER_INFO_3W di{};
  di.cVersion = 3;
  std::wstring name = model;
  di.pName = name.data();
  di.pEnvironment = env.data();
  di.pDriverPath = driverPath.data();
  di.pDataFile = dataPath.data();
  di.pConfigFile = configPath.data();
  di.pHelpFile = helpPath.empty() ? nullptr : helpPath.data();
  di.pDependentFiles = dependent.data();
  di.pMonitorName = monitorName.empty() ? nullptr : monitorName.data();
  di.pDefaultDataType = dataType.empty() ? nullptr : dataType.data();
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&di), APD_COPY_NEW_FILES))
    return Fail(L"AddPrinterDriverExW " + model, GetLastError());
  // The spooler now holds its own copies (in the version folder); Windows'
  // printui stages through the driver store and leaves none in the root.
  for (const std::wstring& f : driverFiles) DeleteFileW(inDriverDir(f).c_str());
  return ERROR_SUCCESS;
}

bool PrinterExists(const std::wstring& name)
{
  std::wstring copy = name;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(copy.data(), &printer, nullptr))
    return false;
  ClosePrinter(printer);
  return true;
}

DWORD AddPrinterObject(const Command& cmd, const DriverInfo& info)
{
  if (!PortExists(cmd.port))
    return Fail(L"port " + cmd.port, ERROR_UNKNOWN_PORT);
  // A taken name: Windows' printui makes "NAME (Copy n)", or refuses with /Y.
  std::wstring name = cmd.printerName;
  for (int n = 1; PrinterExists(name); ++n) {
    if (cmd.keepName || n > 999)
      return Fail(L"printer " + cmd.printerName, ERROR_PRINTER_ALREADY_EXISTS);
    name = cmd.printerName + L" (Copy " + std::to_wstring(n) + L")";
  }
  std::wstring port = cmd.port, driver = cmd.model, dataType = L"RAW";
  std::wstring processor = L"winprint";
  if (!info.processorName.empty() && ProcessorRegistered(info.processorName))
    processor = info.processorName;
  PRINTER_INFO_2W pi{};
  pi.pPrinterName = name.data();
  pi.pPortName = port.data();
  pi.pDriverName = driver.data();
  pi.pPrintProcessor = processor.data();
  pi.pDatatype = dataType.data();
  pi.Priority = 1;
  HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
  bool setProcessor = false;
  if (printer == nullptr && GetLastError() == ERROR_UNKNOWN_PRINTPROCESSOR && processor != L"winprint") {
    // Wine validates the processor against its processor list, which stops at
    // "winprint": a registered processor whose name sorts after it is unknown
    // to AddPrinter. Add with winprint, then name ours as Windows stores it.
    std::wstring fallback = L"winprint";
    pi.pPrintProcessor = fallback.data();
    printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    setProcessor = true;
  }
  if (printer == nullptr)
    return Fail(L"AddPrinterW " + name, GetLastError());
  ClosePrinter(printer);
  if (setProcessor) {
    const std::wstring path = L"System\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
    HKEY key = nullptr;
    LONG e = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (e == ERROR_SUCCESS) {
      e = RegSetValueExW(key, L"Print Processor", 0, REG_SZ, reinterpret_cast<const BYTE*>(processor.c_str()),
                         static_cast<DWORD>((processor.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
    if (e != ERROR_SUCCESS)
      return Fail(L"Print Processor of " + name, static_cast<DWORD>(e));
  }
  return ERROR_SUCCESS;
}

DWORD Execute(const std::wstring& args, Command& cmd)
{
  LogCommand(args);
  if (const DWORD e = Parse(args.c_str(), cmd))
    return Fail(L"arguments: " + args, e);
  DriverInfo info;
  if (cmd.useInstalled && DriverInstalled(cmd.model)) {
    if (!cmd.inf.empty())
      info.processorName = ProcessorName(FullPath(cmd.inf), cmd.model);
  } else if (cmd.inf.empty()) {
    // /u finds no driver and there is no INF to fall back on.
    return Fail(L"installed driver " + cmd.model, ERROR_UNKNOWN_PRINTER_DRIVER);
  } else if (const DWORD e = InstallDriver(FullPath(cmd.inf), cmd.model, info)) {
    return e;
  }
  if (cmd.installPrinter)
    return AddPrinterObject(cmd, info);
  return ERROR_SUCCESS;
}

}  // namespace

extern "C" __declspec(dllexport) void WINAPI PrintUIEntryW(HWND, HINSTANCE, LPCWSTR cmdLine, int)
{
  Command cmd;
  DWORD code = Execute(cmdLine != nullptr ? cmdLine : L"", cmd);
  if (code != ERROR_SUCCESS && !cmd.quiet) {
    Trace(L"error box without /q: rundll32 would wait for a user (" + std::to_wstring(code) + L")");
    code = kErrorBoxWithoutQuiet;
  }
  if (code != ERROR_SUCCESS)
    ExitProcess(code);
}
