#include "installer/pure/PackageDigests.h"

#include <cstring>

#include "support/pure/TextCompare.h"

namespace vkp {

namespace {

constexpr std::size_t kHexDigits = 64;
constexpr char kSeparator[] = "  ";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseDigest(const std::string& hex, Sha256Digest& digest) {
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

// A path below the folder: names of printable characters that Windows
// allows in a file name, joined by single backslashes, none "." or "..".
bool RelativePathBelow(const std::string& path) {
  if (path.empty()) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E ||
          std::strchr("/:*?\"<>|", c) != nullptr)
        return false;
    if (name.back() == ' ' || name.back() == '.') return false;  // Windows drops them
    start = end + 1;
  }
  return true;
}

}  // namespace

bool PackageDigests::Parse(const std::string& text, std::string& error) {
  entries_.clear();
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;

    PackageDigest entry;
    const bool formed = line.size() > kHexDigits + 2 && line.compare(kHexDigits, 2, kSeparator) == 0 &&
                        ParseDigest(line.substr(0, kHexDigits), entry.digest);
    entry.path = formed ? line.substr(kHexDigits + 2) : std::string();
    if (!formed || !RelativePathBelow(entry.path)) {
      error = "line " + std::to_string(lineNumber) + " is not \"<64 hex digits>  <relative path>\"";
      entries_.clear();
      return false;
    }
    if (Find(entry.path) != nullptr) {
      error = "line " + std::to_string(lineNumber) + " lists " + entry.path + " again";
      entries_.clear();
      return false;
    }
    entries_.push_back(entry);
  }
  if (entries_.empty()) {
    error = "no file listed";
    return false;
  }
  return true;
}

std::vector<PackageDigest> PackageDigests::NeededWith(const std::string& driverFolder) const {
  std::vector<PackageDigest> needed;
  for (const PackageDigest& entry : entries_) {
    const std::size_t slash = entry.path.rfind('\\');
    if (slash == std::string::npos ||
        (slash == driverFolder.size() && EqualNoCaseN(entry.path.c_str(), driverFolder.c_str(), slash)))
      needed.push_back(entry);
  }
  return needed;
}

const PackageDigest* PackageDigests::Find(const std::string& path) const {
  for (const PackageDigest& entry : entries_)
    if (EqualNoCase(entry.path.c_str(), path.c_str())) return &entry;
  return nullptr;
}

}  // namespace vkp
