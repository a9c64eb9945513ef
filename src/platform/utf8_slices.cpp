#include "platform/utf8_slices.hpp"

#include "support/text.hpp"

namespace quorvane::platform {
namespace {

// A byte that begins a sequence of two to four bytes.
bool is_multibyte_lead(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0xC2 && value <= 0xF4;
}

}  // namespace

std::size_t whole_characters_length(std::string_view text, std::size_t limit) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end;
    const bool decoded = decode_utf8_at(text, next).has_value();
    if (next > limit) break;
    // Ran out of bytes in the middle of a sequence that was well-formed so far.
    if (!decoded && next == text.size() && is_multibyte_lead(text[end])) break;
    end = next;
  }
  return end;
}

}  // namespace quorvane::platform
