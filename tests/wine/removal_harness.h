// Helpers of the removal tests: the fixture both programs share, a host over
// a real progress bar (and, for the uninstaller, its real dialog from
// template 102), a timeline of texts, bar positions, pauses and spooler
// commands, checks of the trace, and the model's spooler objects.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Os.h"
#include "removal/RemovalHost.h"
#include "support/SystemProbes.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestFiles.h"
#include "tests/wine/TestProgram.h"
#include "tests/wine/TestRegistry.h"
#include "tests/wine/TraceReading.h"
#include "ui/App.h"
#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp::test {

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

// A stand-alone progress bar, 0..100 with the installer's step (9).
class ProgressWindow {
 public:
  explicit ProgressWindow(int step = 9) {
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

// What both programs' removal fixtures share: the program's trace log and
// application object, the system's bitness, and a host of `variant` over
// the window's progress bar (Window: ProgressWindow or UninstallerWindow).
template <typename Window>
class RemovalTest : public ::testing::Test {
 protected:
  RemovalTest(removal::Variant variant, const char* traceLogName, const char* programName)
      : app(programName), variant_(variant), traceLogName_(traceLogName) {}
  void SetUp() override {
    SetTraceLogFileName(traceLogName_);
    InitTraceLog();
    app.SetMainWindow(window.Hwnd());
    is64 = IsWow64() != 0;
    NewHost();
  }
  virtual void NewHost() {
    host = std::make_unique<removal::RemovalHost>(variant_, message, window.bar);
    host->bIs64Bit = is64 ? 1 : 0;
    host->nOSVersion = CheckOS();
    window.bar.SetPos(0);
  }

  TestApp app;
  Window window;
  ui::SharedText message;
  std::unique_ptr<removal::RemovalHost> host;
  bool is64 = false;

 private:
  removal::Variant variant_;
  const char* traceLogName_;
};

// The distinct functions `os` recorded, in the order of their first calls,
// but those in `skip` and those the trace log's own writing calls (a failed
// write would lose the line checked).
inline std::vector<std::string> CalledFunctions(const FakeOs& os, std::set<std::string> skip = {}) {
  skip.insert({"Sleep", "ExitProcess", "GetLastError", "CreateFileA", "WriteFile", "SetFilePointer", "CloseHandle",
               "GetLocalTime", "LocalFree", "GetFileInformationByHandle"});
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const std::string& name : os.CallNames())
    if (!skip.count(name) && seen.insert(name).second) names.push_back(name);
  return names;
}

// The trace line a refused (ERROR_ACCESS_DENIED) call leaves in both
// programs' removals.
inline std::vector<std::pair<std::string, std::string>> SharedFailureLines() {
  return {
      {"DeleteMonitorA", "DeleteMonitor Error : (5)"},
      {"DeletePrintProcessorA", "DeleteMonitor Error : (5)"},
      {"GetPrinterDriverDirectoryA", "GetPrinterDriverDirectory failed. (5)"},
      {"GetWindowsDirectoryA", "GetWindowsDirectory failed"},
      {"GetSystemDirectoryA", "GetSystemDirectory failed. (5)"},
      {"GetPrintProcessorDirectoryA", "GetPrintProcessorDirectory failed. (5)"},
      {"DeleteFileA", ", (5)"},
  };
}

// Every line that `lines` pairs with the failed function is in the trace.
inline ::testing::AssertionResult TracesFailureOf(const std::string& failed,
                                                   const std::vector<std::pair<std::string, std::string>>& lines) {
  for (const auto& [call, line] : lines)
    if (call == failed && !TraceHasFragment(line)) return ::testing::AssertionFailure() << "no trace line " << line;
  return ::testing::AssertionSuccess();
}

// Every entry of `order` is in the trace, each after the one before.
inline ::testing::AssertionResult TraceHasInOrder(const std::vector<std::string>& order) {
  int previous = -1;
  for (const std::string& entry : order) {
    const int at = TraceIndexOf(entry);
    if (at <= previous) return ::testing::AssertionFailure() << entry << " at " << at << ", not after " << previous;
    previous = at;
  }
  return ::testing::AssertionSuccess();
}

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


// The last text of both programs' removals.
constexpr char kCompleted[] = "The uninstallation has been completed.";
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
    DRIVER_INFO_3A driver{3, const_cast<char*>(kDriverName), env.data(), const_cast<char*>("UNIDRV.DLL"),
                          const_cast<char*>("VKP200.GPD"), const_cast<char*>("UNIDRVUI.DLL"), nullptr, nullptr, nullptr,
                          nullptr};
    ASSERT_TRUE(RealOs().AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        << environment << " " << GetLastError();
    ASSERT_TRUE(RealOs().AddPrintProcessorA(nullptr, env.data(), const_cast<char*>("VKPRO200.dll"),
                                            const_cast<char*>(kProcessorName)))
        << environment;
  }
  // Wine's AddPrinterA from a 32-bit process looks among the x86 drivers only.
  if (installationOnly && is64) return;
  std::string printer = printerName;
  PRINTER_INFO_2A info{};
  info.pPrinterName = printer.data();
  info.pPortName = const_cast<char*>("LPT1:");
  info.pDriverName = const_cast<char*>(kDriverName);
  info.pPrintProcessor = const_cast<char*>("winprint");
  info.pDatatype = const_cast<char*>("RAW");
  HANDLE added = RealOs().AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  ASSERT_NE(added, nullptr) << GetLastError();
  RealOs().ClosePrinter(added);
}

// The records of type T that `list(data, size, &needed, &count)` gives into
// `buffer` (asked first for the size) whose `field` is the model's driver.
template <typename T, typename List>
std::vector<T> ModelRecords(std::vector<BYTE>& buffer, LPSTR T::*field, List list) {
  DWORD needed = 0;
  DWORD count = 0;
  list(nullptr, 0, &needed, &count);
  if (needed == 0) return {};
  buffer.resize(needed);
  if (!list(buffer.data(), needed, &needed, &count)) return {};
  const auto* items = reinterpret_cast<const T*>(buffer.data());
  std::vector<T> found;
  for (DWORD i = 0; i < count; ++i)
    if (items[i].*field != nullptr && std::string(items[i].*field) == kDriverName) found.push_back(items[i]);
  return found;
}

inline std::vector<std::string> PrintersOfModel() {
  std::vector<BYTE> buffer;
  std::vector<std::string> names;
  for (const PRINTER_INFO_2A& printer :
       ModelRecords<PRINTER_INFO_2A>(buffer, &PRINTER_INFO_2A::pDriverName, [](LPBYTE data, DWORD size, LPDWORD needed,
                                                                               LPDWORD count) {
         return RealOs().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, count);
       }))
    names.emplace_back(printer.pPrinterName);
  return names;
}

inline bool DriverListed(const std::string& environment) {
  std::string env = environment;
  std::vector<BYTE> buffer;
  return !ModelRecords<DRIVER_INFO_3A>(buffer, &DRIVER_INFO_3A::pName,
                                       [&env](LPBYTE data, DWORD size, LPDWORD needed, LPDWORD count) {
                                         return RealOs().EnumPrinterDriversA(nullptr, env.data(), 3, data, size,
                                                                             needed, count);
                                       })
              .empty();
}

// No printer of the model is left, nor its driver or print processor in
// any environment the removal covers.
inline void ExpectModelGoneFromSpooler(bool is64) {
  EXPECT_TRUE(PrintersOfModel().empty());
  for (const std::string& environment : ModelEnvironments(is64)) {
    EXPECT_FALSE(DriverListed(environment)) << environment;
    EXPECT_FALSE(KeyExists(View64(is64), ProcessorKeyOf(environment))) << environment;
  }
}

// Answers an enumeration call of the seam with `records` (their texts must
// outlive the call), or asks for room for them all as the spooler does.
template <typename T>
BOOL AnswerEnumeration(const std::vector<T>& records, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
  *needed = static_cast<DWORD>(records.size() * sizeof(T));
  if (size < *needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(records.begin(), records.end(), reinterpret_cast<T*>(buffer));
  *returned = static_cast<DWORD>(records.size());
  return TRUE;
}

}  // namespace vkp::test
