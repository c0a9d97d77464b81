// Helpers of the removal tests: a host over a real progress bar (and, for
// the uninstaller, its real dialog from template 102), a timeline of texts,
// bar positions, pauses and spooler commands, and the trace as entries.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Os.h"
#include "removal/RemovalHost.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestProgram.h"
#include "ui/App.h"
#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp::test {

// The trace's entries without their time stamps.
inline std::vector<std::string> TraceEntries() {
  std::vector<std::string> entries;
  const std::string text = ReadTraceLog();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line.size() < 10) continue;  // the separator entry "\r\n" leaves a bare stamp
    entries.push_back(line.substr(10));
  }
  return entries;
}

inline bool TraceHasEntry(const std::string& entry) {
  for (const std::string& e : TraceEntries())
    if (e == entry) return true;
  return false;
}

inline bool TraceHasFragment(const std::string& fragment) {
  for (const std::string& e : TraceEntries())
    if (e.find(fragment) != std::string::npos) return true;
  return false;
}

inline int TraceIndexOf(const std::string& entry) {
  const auto entries = TraceEntries();
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == entry) return static_cast<int>(i);
  return -1;
}

// Texts, bar positions, pauses, message boxes and spooler commands in the
// order they happen; pauses carry the text and bar position shown at that
// moment.
class Timeline {
 public:
  Timeline(FakeOs& os, ui::SharedText& text, const ui::ProgressBar& bar) {
    os.Replace<&PlatformApi::Sleep>([this, &text, &bar](DWORD ms) {
      events_.push_back("sleep " + std::to_string(ms) + " [" + text.Get() + "] " + std::to_string(bar.GetPos()));
    });
    os.Replace<&PlatformApi::CreateProcessA>([this](LPCSTR program, LPSTR command, LPSECURITY_ATTRIBUTES,
                                                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                                                    LPSTARTUPINFOA startup, LPPROCESS_INFORMATION) -> BOOL {
      const bool hidden = (startup->dwFlags & STARTF_USESHOWWINDOW) != 0 && startup->wShowWindow == SW_HIDE;
      events_.push_back(std::string("exec ") + command + (hidden ? "" : " (shown)") +
                        (IsSystemProgram(program) ? "" : " (searched)"));
      return TRUE;  // no handles to close
    });
    os.Replace<&PlatformApi::MessageBoxA>([this](HWND, LPCSTR body, LPCSTR caption, UINT flags) {
      events_.push_back("box " + std::to_string(flags) + " " + caption);
      boxTexts_.push_back(body);
      const int answer = answers_.empty() ? IDOK : answers_.front();
      if (!answers_.empty()) answers_.erase(answers_.begin());
      return answer;
    });
  }
  void Answer(int answer) { answers_.push_back(answer); }
  const std::vector<std::string>& Events() const { return events_; }
  const std::vector<std::string>& BoxTexts() const { return boxTexts_; }

 private:
  std::vector<std::string> events_;
  std::vector<std::string> boxTexts_;
  std::vector<int> answers_;
};

inline void InitControls() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

// A stand-alone progress bar, 0..100 with the program's step.
class ProgressWindow {
 public:
  explicit ProgressWindow(int step) {
    InitControls();
    hwnd_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    bar.Attach(hwnd_);
    bar.SetRange(0, 100);
    bar.SetStep(step);
  }
  ~ProgressWindow() { DestroyWindow(hwnd_); }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;
  HWND Hwnd() const { return hwnd_; }
  ui::ProgressBar bar;

 private:
  HWND hwnd_ = nullptr;
};

// The uninstaller's dialog (template 102), modeless on the test thread.
class UninstallerWindow {
 public:
  UninstallerWindow() {
    InitControls();
    hwnd_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102), nullptr, &Proc, 0);
    bar.Attach(GetDlgItem(hwnd_, 1002));
    bar.SetRange(0, 100);
    bar.SetStep(10);
  }
  ~UninstallerWindow() { DestroyWindow(hwnd_); }
  UninstallerWindow(const UninstallerWindow&) = delete;
  UninstallerWindow& operator=(const UninstallerWindow&) = delete;

  // A row of the check list; the check lives in the row's item data.
  void AddRow(const std::string& name, bool checked) {
    HWND list = GetDlgItem(hwnd_, 1006);
    const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), checked ? 1 : 0);
  }
  HWND Hwnd() const { return hwnd_; }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(hwnd_, id)) != FALSE; }
  // True when a close request is waiting for the dialog.
  bool TakeCloseRequest() const {
    MSG msg;
    return PeekMessageA(&msg, hwnd_, removal::kCloseRequestMessage, removal::kCloseRequestMessage, PM_REMOVE) !=
           FALSE;
  }
  ui::ProgressBar bar;

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
      return TRUE;
    }
    return message == WM_INITDIALOG;
  }
  HWND hwnd_ = nullptr;
};

// Runs `body`, returning the exit code it ended the process with, or -1
// when it returned.
template <typename Body>
long long RunToExit(Body body) {
  try {
    body();
  } catch (const ProcessExit& exit) {
    return exit.code;
  }
  return -1;
}

// Registry helpers working in the given view.
inline bool KeyExists(const std::string& key, bool view64) {
  HKEY opened = nullptr;
  const LONG result = RealOs().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0,
                                             KEY_READ | (view64 ? KEY_WOW64_64KEY : 0), &opened);
  if (result == ERROR_SUCCESS) RealOs().RegCloseKey(opened);
  return result == ERROR_SUCCESS;
}

inline void CreateKey(const std::string& key, bool view64) {
  HKEY created = nullptr;
  ASSERT_EQ(RealOs().RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                     KEY_ALL_ACCESS | (view64 ? KEY_WOW64_64KEY : 0), nullptr, &created, nullptr),
            ERROR_SUCCESS)
      << key;
  RealOs().RegCloseKey(created);
}

inline void SetText(const std::string& key, const char* name, const std::string& text, bool view64) {
  HKEY opened = nullptr;
  ASSERT_EQ(RealOs().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | (view64 ? KEY_WOW64_64KEY : 0),
                                   &opened),
            ERROR_SUCCESS)
      << key;
  RealOs().RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  RealOs().RegCloseKey(opened);
}

inline void WriteFileText(const std::string& path, const std::string& text) {
  HANDLE file = RealOs().CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  RealOs().WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  RealOs().CloseHandle(file);
}

inline bool FileExists(const std::string& path) {
  return RealOs().GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string WindowsDirectory() {
  char directory[MAX_PATH] = "";
  RealOs().GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

}  // namespace vkp::test

namespace vkp::test {

constexpr char kDriverName[] = "NORVEKA VKP-M200";
constexpr char kProcessorName[] = "ZEM PRINT PROCESSOR VKP-M200";
constexpr char kMonitorName[] = "ZEM Language Monitor VKP-M200";

inline std::string ProcessorKeyOf(const std::string& environment) {
  return "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + environment + "\\Print Processors\\" +
         kProcessorName;
}
inline std::string DriverKeyOf(const std::string& environment) {
  return "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + environment + "\\Drivers\\Version-3\\" +
         kDriverName;
}

// The environments the removal covers: the 32-bit program's own, and
// "Windows x64" on a 64-bit system.
inline std::vector<std::string> ModelEnvironments(bool is64) {
  if (is64) return {"Windows NT x86", "Windows x64"};
  return {"Windows NT x86"};
}

// Registers the model's driver (files need not exist) and print processor
// with the real spooler, and one printer object using them; in every
// environment the removal covers, or (installationOnly) only where the
// installation registers it: "Windows x64" on a 64-bit system.
inline void RegisterModelWithSpooler(bool is64, const std::string& printerName, bool installationOnly = false) {
  std::vector<std::string> environments = ModelEnvironments(is64);
  if (installationOnly && is64) environments = {"Windows x64"};
  for (const std::string& environment : environments) {
    std::string env = environment;
    char name[] = "NORVEKA VKP-M200";
    char driverPath[] = "UNIDRV.DLL";
    char dataFile[] = "VKP200.GPD";
    char configFile[] = "UNIDRVUI.DLL";
    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = name;
    driver.pEnvironment = env.data();
    driver.pDriverPath = driverPath;
    driver.pDataFile = dataFile;
    driver.pConfigFile = configFile;
    ASSERT_TRUE(RealOs().AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        << environment << " " << GetLastError();
    char processorName[] = "ZEM PRINT PROCESSOR VKP-M200";
    char processorDll[] = "VKPRO200.dll";
    ASSERT_TRUE(RealOs().AddPrintProcessorA(nullptr, env.data(), processorDll, processorName)) << environment;
  }
  // Wine's AddPrinterA from a 32-bit process looks among the x86 drivers only.
  if (installationOnly && is64) return;
  std::string printer = printerName;
  char port[] = "LPT1:";
  char driverName[] = "NORVEKA VKP-M200";
  char processor[] = "winprint";
  char dataType[] = "RAW";
  PRINTER_INFO_2A info{};
  info.pPrinterName = printer.data();
  info.pPortName = port;
  info.pDriverName = driverName;
  info.pPrintProcessor = processor;
  info.pDatatype = dataType;
  HANDLE added = RealOs().AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  ASSERT_NE(added, nullptr) << GetLastError();
  RealOs().ClosePrinter(added);
}

inline std::vector<std::string> PrintersOfModel() {
  std::vector<std::string> names;
  DWORD needed = 0;
  DWORD count = 0;
  RealOs().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return names;
  std::vector<BYTE> buffer(needed);
  if (!RealOs().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return names;
  const auto* items = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (items[i].pDriverName != nullptr && std::string(items[i].pDriverName) == kDriverName)
      names.emplace_back(items[i].pPrinterName);
  return names;
}

inline bool DriverListed(const std::string& environment) {
  std::string env = environment;
  DWORD needed = 0;
  DWORD count = 0;
  RealOs().EnumPrinterDriversA(nullptr, env.data(), 3, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!RealOs().EnumPrinterDriversA(nullptr, env.data(), 3, buffer.data(), needed, &needed, &count)) return false;
  const auto* items = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (items[i].pName != nullptr && std::string(items[i].pName) == kDriverName) return true;
  return false;
}

}  // namespace vkp::test
