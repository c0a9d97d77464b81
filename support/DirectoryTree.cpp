#include <cstring>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/SystemHelpers.h"

namespace vkp {

namespace {

void ClearReadOnly(const std::string& path) {
  const DWORD attributes = Os().GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    Os().SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

}  // namespace

void DeleteDirectoryTree(std::string path) {
  // An empty path would turn into "\*.*": the root of the current drive.
  if (path.empty()) return;
  // Checked again at every level: a folder may have been swapped for a link
  // since its parent was listed.
  const DWORD attributes = Os().GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return;
  ClearReadOnly(path);
  if (path.back() != '\\') path += '\\';

  WIN32_FIND_DATAA entry{};
  UniqueFind search(Os().FindFirstFileA((path + "*.*").c_str(), &entry));
  if (search) {
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::string full = path + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A junction or directory link is removed itself, never followed:
        // what it points to belongs to someone else.
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteDirectoryTree(full);
        Os().RemoveDirectoryA(full.c_str());
      } else {
        ClearReadOnly(full);
        Os().DeleteFileA(full.c_str());
      }
    } while (Os().FindNextFileA(search.get(), &entry));
  }
  search.reset();  // the directory cannot go while the search holds it

  path.pop_back();
  Os().RemoveDirectoryA(path.c_str());
}

}  // namespace vkp
