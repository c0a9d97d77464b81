// The two platform probes both programs run once at start.
#pragma once

namespace vkp {

// The operating-system code 2000..2010 of the running Windows.
int CheckOS();

// Nonzero when this 32-bit process runs on 64-bit Windows.
int IsWow64();

}  // namespace vkp
