#include "platform/utf8_check.hpp"

#include <cstddef>

#include "platform/byte_blocks.hpp"
#include "support/text.hpp"

namespace quorvane::platform {
namespace {

// The position of the first byte at or after `pos` that is not ASCII, or the size of the text:
// 64 bytes at a time while all are ASCII, then 16, then one by one.
std::size_t skip_ascii(std::string_view text, std::size_t pos) {
  using Blocks = ByteBlocks;
  using Block = Blocks::Block;
  const char* data = text.data();
  const std::size_t n = text.size();
  while (pos + 64 <= n) {
    const Block any = (Blocks::load(data + pos) | Blocks::load(data + pos + 16)) |
                      (Blocks::load(data + pos + 32) | Blocks::load(data + pos + 48));
    if (Blocks::top_bits(any) != 0) break;
    pos += 64;
  }
  while (pos + Blocks::kSize <= n) {
    const unsigned high = Blocks::top_bits(Blocks::load(data + pos));
    if (high != 0) return pos + first_lane(high);
    pos += Blocks::kSize;
  }
  while (pos < n && static_cast<unsigned char>(data[pos]) < 0x80) ++pos;
  return pos;
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  std::size_t pos = 0;
  while ((pos = skip_ascii(text, pos)) < text.size()) {
    if (!decode_utf8_at(text, pos)) return false;
  }
  return true;
}

}  // namespace quorvane::platform
