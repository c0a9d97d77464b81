// The spooler's enumerations: a first call learns the size, a second fills a
// buffer of that size. The buffer is released when the step ends.
#pragma once

#include <vector>

#include "platform/WinHeaders.h"

namespace vkp {

struct EnumResult {
  std::vector<BYTE> buffer;
  DWORD count = 0;
  bool ok = false;

  template <typename T>
  const T* Items() const {
    return reinterpret_cast<const T*>(buffer.data());
  }
};

// `enumerate(buffer, size, &needed, &count)` wraps one spooler Enum call.
template <typename Enumerate>
EnumResult EnumerateTwice(Enumerate enumerate) {
  EnumResult result;
  DWORD needed = 0;
  DWORD count = 0;
  enumerate(nullptr, 0, &needed, &count);
  if (needed == 0) {
    result.ok = true;  // nothing to list
    return result;
  }
  result.buffer.resize(needed);
  result.ok = enumerate(result.buffer.data(), needed, &needed, &count) != FALSE;
  result.count = result.ok ? count : 0;
  return result;
}

}  // namespace vkp
