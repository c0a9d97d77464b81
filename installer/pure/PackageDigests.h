// The list of the package's files and their SHA-256 digests that the build
// embeds in the installer: one line per file, "<64 hex digits>  <path>", the
// path relative to the installer's folder with backslashes
// ("Driver64\VKMON200.dll"). Pure.
#pragma once

#include <string>
#include <vector>

#include "support/pure/Sha256.h"

namespace vkp {

struct PackageDigest {
  std::string path;
  Sha256Digest digest;
};

class PackageDigests {
 public:
  // False, with `error` naming the line, when the text is no such list: a
  // line of another form, a path that leaves the folder, a file listed
  // twice, or no file at all. The list is then empty.
  bool Parse(const std::string& text, std::string& error);

  const std::vector<PackageDigest>& Entries() const { return entries_; }
  // The files one run needs: those beside the installer and those in
  // `driverFolder` ("Driver64"), not those of the other architecture.
  std::vector<PackageDigest> NeededWith(const std::string& driverFolder) const;
  // The entry of `path`, letter case ignored; nullptr when not listed.
  const PackageDigest* Find(const std::string& path) const;

 private:
  std::vector<PackageDigest> entries_;
};

}  // namespace vkp
