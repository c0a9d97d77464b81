// Registry helpers of the in-process tests, under HKEY_LOCAL_MACHINE in the
// view given (KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0). They call Windows
// directly, past the platform seam, so that a FakeOs never sees them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/WinHeaders.h"

namespace vkp::test {

// True when this process is a 32-bit one on 64-bit Windows.
inline bool RunsUnderWow64() {
  BOOL wow64 = FALSE;
  ::IsWow64Process(::GetCurrentProcess(), &wow64);
  return wow64 != FALSE;
}

// The 64-bit view when `view64`, else the process's own.
inline REGSAM View64(bool view64) { return view64 ? KEY_WOW64_64KEY : 0; }

inline bool KeyExists(REGSAM view, const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

// Sets the REG_SZ value `name` of an existing key; a key that cannot be
// opened fails the test.
inline void SetText(REGSAM view, const std::string& path, const char* name, const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | view, &key), ERROR_SUCCESS) << path;
  ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  ::RegCloseKey(key);
}

// Creates the key (and the keys above it); with `valueName`, also that
// REG_SZ value. A key that cannot be created fails the test.
inline void CreateKey(REGSAM view, const std::string& path, const char* valueName = nullptr,
                      const std::string& value = "") {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS)
      << path;
  if (valueName != nullptr)
    ::RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  ::RegCloseKey(key);
}

}  // namespace vkp::test
