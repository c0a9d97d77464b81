// Leak checks over a FakeOs recording: every handle a successful call gave
// out was given back by its closing call.
#pragma once

#include <string>
#include <vector>

#include "tests/seam/FakeOs.h"

namespace vkp::test {

struct HandleKind {
  std::vector<std::string> openers;  // calls that give out a handle of this kind
  std::string closer;                // the call that gives it back
  bool (*succeeded)(const std::string& result);
};

// The kinds the programs use: registry keys, printers, find handles, INF
// handles, device lists, files and tokens.
const std::vector<HandleKind>& HandleKinds();

// One line per kind whose handles were not all given back ("" when none).
std::string UnreleasedHandles(const FakeOs& os);

}  // namespace vkp::test
