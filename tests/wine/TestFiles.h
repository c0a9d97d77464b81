// File helpers of the in-process tests: whole files as text, existence, and
// the Windows, system and current directories. They call Windows directly,
// past the platform seam, so that a FakeOs never sees them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/WinHeaders.h"
#include "support/pure/Sha256.h"

namespace vkp::test {

// Reads a whole file ("" when missing).
inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Creates or truncates `path` with `text`; a file that cannot be created
// fails the test.
inline void WriteFileText(const std::string& path, const std::string& text) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

// A package digest list, as the build embeds it in the installer, of the
// files as they are now; paths relative to the current directory.
inline std::string DigestListOf(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) {
    const std::string bytes = ReadFileText(path);
    Sha256 hash;
    hash.Update(bytes.data(), bytes.size());
    char hex[3];
    for (const auto byte : hash.Final()) {
      std::snprintf(hex, sizeof hex, "%02x", byte);
      list += hex;
    }
    list += "  " + path + "\n";
  }
  return list;
}

inline bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string WindowsDirectory() {
  char directory[MAX_PATH] = "";
  ::GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

inline std::string SystemDirectory() {
  char directory[MAX_PATH] = "";
  ::GetSystemDirectoryA(directory, MAX_PATH);
  return directory;
}

inline std::string CurrentDirectory() {
  char directory[MAX_PATH] = "";
  ::GetCurrentDirectoryA(MAX_PATH, directory);
  return directory;
}

}  // namespace vkp::test
