// Where a run's time goes: with the environment variable VKP_SEAM_TIMING set
// to a folder, every entry of the seam is wrapped to count its calls and the
// time spent inside it, and the program writes "<folder>\<program>.timing"
// when it ends (scripts/bench reads it). Without the variable nothing is
// wrapped: the seam stays the plain table of the system's functions.
#pragma once

namespace vkp {

void EnableSeamTimingFromEnvironment();

}  // namespace vkp
