// Benchmark: INFFileExist over an INF store seeded with many oem*.inf files,
// next to a bare loop of the same setup API calls. Prints figures only.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "platform/WinHeaders.h"
#include "support/TraceLog.h"
#include "ui/App.h"

namespace vkp {
const char* TraceLogFileName() { return "VKP-M200_Installer.txt"; }
}  // namespace vkp

namespace {

class BenchApp : public vkp::ui::App {
 public:
  bool InitInstance() override { return false; }
};

std::string InfDirectory() {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\inf";
}

void Seed(int count) {
  const std::string dir = InfDirectory();
  for (int i = 100; i < 100 + count; ++i) {
    const std::string path = dir + "\\oem" + std::to_string(i) + ".inf";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    const std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n[Manufacturer]\r\nOther=Other\r\n"
                             "[Other]\r\n\"Other Printer " + std::to_string(i) + "\"=Install,other_id\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
}

// The same calls without the step around them: list, filter, open, look up.
int BareLoop() {
  const std::string dir = InfDirectory();
  std::wstring wideDir(dir.begin(), dir.end());
  DWORD size = 0;
  SetupGetInfFileListW(wideDir.c_str(), INF_STYLE_WIN4, nullptr, 0, &size);
  std::vector<wchar_t> list(size + 1);
  SetupGetInfFileListW(wideDir.c_str(), INF_STYLE_WIN4, list.data(), size, &size);
  int found = 0;
  for (const wchar_t* name = list.data(); *name != L'\0'; name += wcslen(name) + 1) {
    if (wcsncmp(name, L"oem", 3) != 0) continue;
    std::string narrow(name, name + wcslen(name));
    HINF inf = SetupOpenInfFileA((dir + "\\" + narrow).c_str(), nullptr, INF_STYLE_OLDNT | INF_STYLE_WIN4, nullptr);
    if (inf == INVALID_HANDLE_VALUE) continue;
    INFCONTEXT line;
    if (SetupFindFirstLineA(inf, "NORVEKA", "NORVEKA VKP-M200", &line)) ++found;
    SetupCloseInfFile(inf);
  }
  return found;
}

template <typename F>
double Millis(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  BenchApp app;
  vkp::InitTraceLog();
  Seed(count);
  vkp::InstallEngine engine;
  engine.SetSystemInfo(0, 2010);
  int result = 0, bare = 0;
  const double stepMs = Millis([&] { result = engine.INFFileExist(engine.strMaker, engine.strModelName); });
  const double bareMs = Millis([&] { bare = BareLoop(); });
  std::printf("INFFileExist over %d oem*.inf: %.0f ms (result %d)\n", count, stepMs, result);
  std::printf("bare loop of the same setup API calls: %.0f ms (%d found)\n", bareMs, bare);
  std::printf("ratio: %.2f (the step also writes a trace line per file it cannot open or that matches)\n",
              bareMs > 0 ? stepMs / bareMs : 0.0);
  return 0;
}
