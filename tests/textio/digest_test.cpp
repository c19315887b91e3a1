// The digest a game record keeps of every text must be the standard SHA-256,
// so that any tool can check a record's files, on every platform.
#include "textio/digest.h"

#include <gtest/gtest.h>

#include <string>

namespace plotwright {
namespace {

std::string Pattern(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>((i * 7) % 256));
  return bytes;
}

TEST(DigestTest, KnownDigestsOfTextsAndOfEveryPaddingCase) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // Tails that leave room for the length in the last block, and that do not.
  EXPECT_EQ(Sha256Hex(Pattern(55)), "576a1bf8d4478657e6dc4af9398544765c2a92cde28478b019235cfed315fc09");
  EXPECT_EQ(Sha256Hex(Pattern(56)), "9b20501dfd1d99161c257950f3444f3e49230c351c5c8e0943ef369f85f5205d");
  EXPECT_EQ(Sha256Hex(Pattern(63)), "30b345906b493f06f69444b6521113511c242f30e29840462950035043682f1e");
  EXPECT_EQ(Sha256Hex(Pattern(64)), "d8bc63b4fc1156e5e7d95a418b9bf54cd3174bedbc2db40f74895349b229b3c0");
  EXPECT_EQ(Sha256Hex(Pattern(119)), "7a6589821178918ca8d9edaba5abfc1e9b2669564f4469b66885379c1530b2c8");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace plotwright
