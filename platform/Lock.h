// A lock for the programs' few shared texts and files: the system's critical
// section, which costs the static programs nothing, where std::mutex brings
// the thread library's machinery along.
#pragma once

#include "platform/WinHeaders.h"

namespace vkp {

class Lock {
 public:
  Lock() { ::InitializeCriticalSection(&section_); }
  ~Lock() { ::DeleteCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Enter() { ::EnterCriticalSection(&section_); }
  void Leave() { ::LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

// Holds the lock for its scope.
class Held {
 public:
  explicit Held(Lock& lock) : lock_(lock) { lock_.Enter(); }
  ~Held() { lock_.Leave(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  Lock& lock_;
};

}  // namespace vkp
