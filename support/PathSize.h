// The size of the programs' path buffers, terminator included. Shorter than
// MAX_PATH: a longer path is cut, as the traces and registry values of every
// earlier version were.
#pragma once

namespace vkp {

constexpr unsigned kPathSize = 256;

}  // namespace vkp
