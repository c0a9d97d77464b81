// The spooler's enumerations, in two calls: the first learns the size, the
// second fills a buffer of that size, released when the list goes.
#pragma once

#include <vector>

#include "platform/Os.h"

namespace vkp {

struct SpoolerList {
  std::vector<BYTE> buffer;
  DWORD count = 0;
  bool ok = false;
  DWORD error = 0;  // the failing call's last error

  template <typename T>
  const T* Items() const {
    return reinterpret_cast<const T*>(buffer.data());
  }
};

// `enumerate(buffer, size, &needed, &count)` wraps one spooler Enum call.
template <typename Enumerate>
SpoolerList EnumerateTwice(Enumerate enumerate) {
  SpoolerList list;
  DWORD needed = 0;
  DWORD count = 0;
  if (enumerate(nullptr, 0, &needed, &count)) {
    list.ok = true;  // nothing to list
    return list;
  }
  if (needed == 0) {
    // Not the "buffer too small" answer: the enumeration itself failed.
    list.error = Os().GetLastError();
    return list;
  }
  list.buffer.resize(needed);
  if (!enumerate(list.buffer.data(), needed, &needed, &count)) {
    list.error = Os().GetLastError();
    list.buffer.clear();
    return list;
  }
  list.ok = true;
  list.count = count;
  return list;
}

}  // namespace vkp
