// The spooler's names of the two environments the model is registered in:
// 64-bit Windows registers it for x64, which this 32-bit program's own
// environment (x86) does not show.
#pragma once

namespace vkp {

constexpr char kEnvironmentX64[] = "Windows x64";
constexpr char kEnvironmentX86[] = "Windows NT x86";

}  // namespace vkp
