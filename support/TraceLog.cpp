#include "support/TraceLog.h"

#include <cstdarg>
#include <mutex>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/BoundedText.h"
#include "support/TraceFormat.h"

namespace vkp {

namespace {
constexpr std::size_t kPathSize = 256;
char gTraceLogPath[kPathSize] = "";
// Seek-to-end and write are two calls: the program's own threads take turns,
// so that one entry never lands on top of another.
std::mutex gWriteMutex;
}  // namespace

const char* TraceLogPath() { return gTraceLogPath; }

int InitTraceLog() {
  gTraceLogPath[0] = '\0';
  char windowsDir[kPathSize] = "";
  Os().GetWindowsDirectoryA(windowsDir, kPathSize);

  char path[kPathSize] = "";
  CopyBoundedN(path, kPathSize, windowsDir, 3);  // the drive root, e.g. "C:\"
  AppendBounded(path, "\\Temp");
  Os().CreateDirectoryA(path, nullptr);
  AppendBounded(path, "\\");
  AppendBounded(path, TraceLogFileName());

  CopyBounded(gTraceLogPath, path);
  return Os().DeleteFileA(gTraceLogPath);
}

void WriteTraceLog(const char* format, ...) {
  if (gTraceLogPath[0] == '\0') return;  // before InitTraceLog: nowhere to write
  std::lock_guard<std::mutex> lock(gWriteMutex);
  UniqueFile file(Os().CreateFileA(gTraceLogPath, GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  Os().SetFilePointer(file.get(), 0, nullptr, FILE_END);

  SYSTEMTIME now{};
  Os().GetLocalTime(&now);
  char entry[kTraceEntryBufferSize];
  va_list args;
  va_start(args, format);
  const std::size_t length = FormatTraceEntry(entry, now.wHour, now.wMinute, now.wSecond, format, args);
  va_end(args);

  DWORD written = 0;
  Os().WriteFile(file.get(), entry, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace vkp
