// SHA-256 (FIPS 180-2) of a byte stream, fed in pieces of any size. Pure.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vkp {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(const void* data, std::size_t size);
  // The digest of everything fed so far; the object is spent afterwards.
  Sha256Digest Final();

 private:
  void Block(const std::uint8_t* block);
  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace vkp
