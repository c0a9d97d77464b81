// The optional configuration file "VKPM200_Config.ZEM": looked for in the
// current directory first, then in the Windows directory's "VKP-M200" folder,
// key by key.
#pragma once

#include <cstddef>

namespace vkp {

constexpr char kConfigSection[] = "VKPM200";
constexpr std::size_t kConfigValueSize = 256;

// Fills `buffer` (of `size` bytes, zeroed first) with the key's value and
// returns it; returns nullptr when neither file gives a non-empty value.
char* GetDriverInfoFromFile(const char* section, const char* key, char* buffer, std::size_t size);

}  // namespace vkp
