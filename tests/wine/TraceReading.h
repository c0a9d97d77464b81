// The trace log as the tests read it: the whole text, or its entries
// without their "HH:MM:SS: " stamps.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/TraceLog.h"
#include "tests/wine/TestFiles.h"

namespace vkp::test {

// The whole trace log file as text ("" when missing).
inline std::string ReadTraceLog() { return ReadFileText(TraceLogPath()); }

// The trace's non-empty lines, each without its time stamp.
inline std::vector<std::string> TraceEntries() {
  const std::string log = ReadTraceLog();
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start < log.size()) {
    std::size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(start, end - start);
    if (line.size() >= 10 && line[2] == ':' && line[5] == ':') line.erase(0, 10);
    if (!line.empty()) entries.push_back(line);
    start = end + 2;
  }
  return entries;
}

inline std::vector<std::string> TraceEntriesStartingWith(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : TraceEntries())
    if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
  return found;
}

inline bool TraceHasEntry(const std::string& entry) {
  for (const std::string& e : TraceEntries())
    if (e == entry) return true;
  return false;
}

inline bool TraceHasFragment(const std::string& fragment) {
  for (const std::string& e : TraceEntries())
    if (e.find(fragment) != std::string::npos) return true;
  return false;
}

// The entry's index among TraceEntries(), -1 when absent.
inline int TraceIndexOf(const std::string& entry) {
  const auto entries = TraceEntries();
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == entry) return static_cast<int>(i);
  return -1;
}

// Each of `lines` is in the trace as written (": line\r\n"); a failure
// names the missing ones.
inline ::testing::AssertionResult TraceHasLines(const std::vector<std::string>& lines) {
  const std::string log = ReadTraceLog();
  std::string missing;
  for (const std::string& line : lines)
    if (log.find(": " + line + "\r\n") == std::string::npos) missing += "\n  " + line;
  if (missing.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not in the trace:" << missing << "\nlog:\n" << log;
}

// The raw lines (time stamps kept) that contain `part`.
inline std::vector<std::string> TraceLinesContaining(const std::string& part) {
  std::vector<std::string> lines;
  std::istringstream text(ReadTraceLog());
  std::string line;
  while (std::getline(text, line))
    if (line.find(part) != std::string::npos) lines.push_back(line);
  return lines;
}

}  // namespace vkp::test
