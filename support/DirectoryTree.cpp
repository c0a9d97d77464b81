#include <cstring>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/PinnedFolder.h"
#include "support/SystemHelpers.h"

namespace vkp {

namespace {

void ClearReadOnly(const std::string& path) {
  const DWORD attributes = Os().GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    Os().SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Empties a folder that is pinned (and so is still the one checked), then
// removes it. Every sub-folder is pinned before it is looked into; a link
// found anywhere is removed itself, never followed: what it points to
// belongs to someone else.
void DeleteEmptiedTree(PinnedFolder folder, std::string path) {
  if (folder.IsPlain()) {
    ClearReadOnly(path);
    if (path.back() != '\\') path += '\\';
    WIN32_FIND_DATAA entry{};
    UniqueFind search(Os().FindFirstFileA((path + "*.*").c_str(), &entry));
    if (search) {
      do {
        if (IsDotEntry(entry.cFileName)) continue;
        const std::string full = path + entry.cFileName;
        const bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (link)
            Os().RemoveDirectoryA(full.c_str());
          else
            DeleteEmptiedTree(PinnedFolder(full.c_str()), full);
        } else {
          if (!link) ClearReadOnly(full);  // attributes of a link's target are not ours to change
          Os().DeleteFileA(full.c_str());
        }
      } while (Os().FindNextFileA(search.get(), &entry));
    }
    search.reset();  // the directory cannot go while the search holds it
    path.pop_back();
  }
  // Released only now: a folder swapped in after this point is removed only
  // if empty, a link in its place is removed itself.
  folder.Release();
  Os().RemoveDirectoryA(path.c_str());
}

}  // namespace

void DeleteDirectoryTree(std::string path) {
  // An empty path would turn into "\*.*": the root of the current drive.
  if (path.empty()) return;
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  PinnedFolder folder(path.c_str());
  DeleteEmptiedTree(std::move(folder), path);
}

void DeletePinnedDirectoryTree(PinnedFolder folder, const std::string& path) {
  if (!path.empty()) DeleteEmptiedTree(std::move(folder), path);
}

}  // namespace vkp
