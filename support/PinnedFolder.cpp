#include "support/PinnedFolder.h"

#include "platform/Os.h"
#include "support/TrustedOwner.h"

namespace vkp {

PinnedFolder::PinnedFolder(const char* path)
    : handle_(Os().CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) {
  BY_HANDLE_FILE_INFORMATION info{};
  plain_ = handle_ && Os().GetFileInformationByHandle(handle_.get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool PinnedFolder::HasTrustedOwner() const { return handle_ && vkp::HasTrustedOwner(handle_.get()); }

void PinnedFolder::Release() {
  handle_.reset();
  plain_ = false;
}

}  // namespace vkp
