// The residue check: snapshots of a prefix's registry (both views of HKLM)
// and of its Windows folder tree, and their comparison, where every
// difference is either on the list of documented platform differences,
// printed with its reason, or unexplained.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/InstallerSession.h"

namespace vkp::e2e {

struct Snapshot {
  std::set<std::string> entries;  // "REG key", "REG key|value=data", "FILE path"
};

// Flushes the prefix's registry first.
Snapshot TakeSnapshot(InstallerSession& s);
// The differences the platform does not explain ("left  X", "gone  X").
std::vector<std::string> Unexplained(const Snapshot& before, const Snapshot& after);

}  // namespace vkp::e2e
