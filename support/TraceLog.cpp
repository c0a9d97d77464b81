#include "support/TraceLog.h"

#include <cstdarg>

#include "platform/Lock.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/BoundedText.h"
#include "support/PathSize.h"
#include "support/PinnedFolder.h"
#include "support/TraceFormat.h"

namespace vkp {

namespace {
char gTraceLogPath[kPathSize] = "";
char gSecondLogPath[MAX_PATH] = "";  // /log=PATH: the same entries once more
// Seek-to-end and write are two calls: the program's own threads take turns,
// so that one entry never lands on top of another.
Lock gWriteLock;

// The trace folder may exist before us and be an ordinary user's; the
// elevated program must neither delete nor append through a link there.
// A reparse point (junction, symbolic link) is opened itself, not followed,
// and refused; so is a file that is also another file (more than one link).
bool IsPlainEntry(HANDLE handle, DWORD wantedType) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!Os().GetFileInformationByHandle(handle, &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != wantedType) return false;
  return wantedType != 0 || info.nNumberOfLinks <= 1;
}

// Appends one entry with a single write; a file that turns out to be a link
// gets no more entries this run (its path is cleared).
void AppendEntry(char* path, const char* entry, std::size_t length) {
  if (path[0] == '\0') return;
  UniqueFile file(Os().CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return;
  if (!IsPlainEntry(file.get(), 0)) {
    path[0] = '\0';
    return;
  }
  Os().SetFilePointer(file.get(), 0, nullptr, FILE_END);
  DWORD written = 0;
  Os().WriteFile(file.get(), entry, static_cast<DWORD>(length), &written, nullptr);
}

// The trace folder may exist before us, made by an ordinary user. It is
// held for the run, so that it cannot be renamed or swapped for a link and
// every entry lands in the folder checked here; a link or a folder of an
// ordinary user's is not used at all.
PinnedFolder gTraceFolder;

bool PinTraceFolder(const char* path) {
  gTraceFolder = PinnedFolder(path);
  if (gTraceFolder.IsPlain() && gTraceFolder.HasTrustedOwner()) return true;
  gTraceFolder.Release();
  return false;
}
}  // namespace

const char* TraceLogPath() { return gTraceLogPath; }

int InitTraceLog() {
  gTraceLogPath[0] = '\0';
  gTraceFolder.Release();
  char windowsDir[kPathSize] = "";
  Os().GetWindowsDirectoryA(windowsDir, kPathSize);
  if (gSecondLogPath[0] != '\0') Os().DeleteFileA(gSecondLogPath);  // a fresh copy per run

  char folder[kPathSize] = "";
  CopyBoundedN(folder, kPathSize, windowsDir, 3);  // the drive root, e.g. "C:\"
  AppendBounded(folder, "\\Temp");
  Os().CreateDirectoryA(folder, nullptr);
  char refused[kPathSize] = "";
  if (!PinTraceFolder(folder)) {
    // The Windows Temp folder instead: the system's own.
    CopyBounded(refused, folder);
    CopyBounded(folder, windowsDir);
    AppendBounded(folder, "\\Temp");
    if (windowsDir[0] == '\0' || !PinTraceFolder(folder)) return FALSE;  // no trace for this run
  }
  char path[kPathSize] = "";
  CopyBounded(path, folder);
  AppendBounded(path, "\\");
  AppendBounded(path, TraceLogFileName());

  CopyBounded(gTraceLogPath, path);
  // Deleting a link removes the link, never its target.
  const int deleted = Os().DeleteFileA(gTraceLogPath);
  if (refused[0] != '\0') WriteTraceLog("TRACE FOLDER : %s (%s is a link or an ordinary user's)", folder, refused);
  return deleted;
}

void SetSecondTraceLog(const char* path) {
  Held lock(gWriteLock);
  CopyBounded(gSecondLogPath, path != nullptr ? path : "");
}

void WriteTraceLog(const char* format, ...) {
  Held lock(gWriteLock);
  if (gTraceLogPath[0] == '\0' && gSecondLogPath[0] == '\0') return;  // nowhere to write

  SYSTEMTIME now{};
  Os().GetLocalTime(&now);
  char entry[kTraceEntryBufferSize];
  va_list args;
  va_start(args, format);
  const std::size_t length = FormatTraceEntry(entry, now.wHour, now.wMinute, now.wSecond, format, args);
  va_end(args);

  AppendEntry(gTraceLogPath, entry, length);
  AppendEntry(gSecondLogPath, entry, length);
}

}  // namespace vkp
