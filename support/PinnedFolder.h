// A folder held open for as long as the object lives, without delete
// sharing: meanwhile nobody can rename or delete it, so nothing can take its
// place between a check and the work done in it, and paths through it lead
// where they led when it was checked. A link in its place is opened itself,
// never followed.
#pragma once

#include "platform/UniqueHandles.h"

namespace vkp {

class PinnedFolder {
 public:
  PinnedFolder() = default;
  explicit PinnedFolder(const char* path);

  // Open, a directory, and no reparse point (junction, symbolic link, mount point).
  bool IsPlain() const { return plain_; }
  // Owned by an account an ordinary user cannot be (see HasTrustedOwner).
  bool HasTrustedOwner() const;
  // Lets go, so that the folder itself can be removed.
  void Release();

 private:
  UniqueFile handle_;
  bool plain_ = false;
};

}  // namespace vkp
