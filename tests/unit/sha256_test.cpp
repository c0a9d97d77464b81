#include "support/pure/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace vkp {
namespace {

std::string Hex(const Sha256Digest& digest) {
  std::string text;
  char pair[3];
  for (const auto byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

std::string DigestOf(const std::string& message) {
  Sha256 hash;
  hash.Update(message.data(), message.size());
  return Hex(hash.Final());
}

// The examples of FIPS 180-2 (appendix B), and the empty message.
TEST(Sha256, GivesTheStandardsExampleDigests) {
  EXPECT_EQ(DigestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(DigestOf(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_EQ(DigestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// Lengths around the block and the padding boundaries, fed whole and in
// pieces of every size: the pieces never change the digest.
TEST(Sha256, PiecesOfAnySizeGiveTheSameDigest) {
  for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u}) {
    std::string message;
    for (std::size_t i = 0; i < length; ++i) message += static_cast<char>('0' + i % 43);
    const std::string whole = DigestOf(message);
    for (std::size_t piece = 1; piece <= 70; piece += 3) {
      Sha256 hash;
      for (std::size_t at = 0; at < message.size(); at += piece)
        hash.Update(message.data() + at, std::min(piece, message.size() - at));
      EXPECT_EQ(Hex(hash.Final()), whole) << length << " bytes in pieces of " << piece;
    }
  }
  EXPECT_NE(DigestOf(std::string(64, 'x')), DigestOf(std::string(63, 'x') + 'y')) << "one byte changed";
}

}  // namespace
}  // namespace vkp
