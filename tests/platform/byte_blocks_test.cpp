#include "platform/byte_blocks.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quorvane::platform {
namespace {

// Each form of the blocks that this build has: the one it uses, and the portable one (the same
// type where the machine's instructions are not known).
template <class Blocks>
class ByteBlocksTest : public ::testing::Test {};
using Forms = ::testing::Types<ByteBlocks, PortableBlocks>;
TYPED_TEST_SUITE(ByteBlocksTest, Forms);

// Bytes of every value, the top bit set in about half of them.
std::string random_bytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() % 256);
  return bytes;
}

// Lane by lane, as the operations are defined.
TYPED_TEST(ByteBlocksTest, EachLaneIsItsOwnByte) {
  using Blocks = TypeParam;
  static_assert(Blocks::kSize == 16);
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    // Offsets 1 and 3: loads need no alignment. Some lanes repeat the other text's byte.
    const std::string a = random_bytes(random, 20);
    std::string b = random_bytes(random, 20);
    for (std::size_t i = 0; i < b.size(); ++i) {
      if (random() % 3 == 0) b[i] = a[i];
    }
    const char* x = a.data() + 1;
    const char* y = b.data() + 1;
    const char c = x[random() % 16];
    unsigned equal = 0, to_c = 0, high = 0, either_high = 0, both_high = 0;
    for (unsigned i = 0; i < 16; ++i) {
      const auto top = [](char byte) { return (static_cast<unsigned char>(byte) & 0x80) != 0; };
      equal |= (x[i] == y[i] ? 1u : 0u) << i;
      to_c |= (x[i] == c ? 1u : 0u) << i;
      high |= (top(x[i]) ? 1u : 0u) << i;
      either_high |= (top(x[i]) || top(y[i]) ? 1u : 0u) << i;
      both_high |= (top(x[i]) && top(y[i]) ? 1u : 0u) << i;
    }
    EXPECT_EQ(Blocks::top_bits(Blocks::equal(Blocks::load(x), Blocks::load(y))), equal);
    EXPECT_EQ(Blocks::top_bits(Blocks::equal(Blocks::load(x), Blocks::repeat(c))), to_c);
    EXPECT_EQ(Blocks::top_bits(Blocks::load(x)), high);
    EXPECT_EQ(Blocks::top_bits(Blocks::load(x) | Blocks::load(y)), either_high);
    EXPECT_EQ(Blocks::top_bits(Blocks::load(x) & Blocks::load(y)), both_high);
    if (to_c != 0) {
      EXPECT_EQ(x[first_lane(to_c)], c);
      EXPECT_EQ(x[last_lane(to_c)], c);
      EXPECT_EQ(to_c & ((1u << first_lane(to_c)) - 1), 0u);
      EXPECT_EQ(to_c >> last_lane(to_c), 1u);
    }
  }
}

TYPED_TEST(ByteBlocksTest, CountFindsEveryByteAtEveryLengthAndOffset) {
  using Blocks = TypeParam;
  std::mt19937 random(7);
  std::string text(16 * 255 * 3 + 40, 'a');
  for (char& c : text) {
    if (random() % 5 == 0) c = '\n';
  }
  for (std::size_t length : {0, 1, 15, 16, 17, 31, 33, 4079, 4080, 4081, 8200, 12280}) {
    for (std::size_t offset : {0, 1, 7}) {
      const std::string_view part = std::string_view(text).substr(offset, length);
      for (const char c : {'\n', 'a', 'b'}) {
        EXPECT_EQ(Blocks::count(part, c),
                  static_cast<std::uint64_t>(std::count(part.begin(), part.end(), c)))
            << length << " at " << offset;
      }
    }
  }
  // More than 255 in a row in one lane's counter.
  EXPECT_EQ(Blocks::count(std::string(5000, '\n'), '\n'), 5000u);
  EXPECT_EQ(Blocks::count(std::string(5000, '\xFF'), '\xFF'), 5000u);
}

}  // namespace
}  // namespace quorvane::platform
