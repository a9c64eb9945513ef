#include "output/json_text.hpp"

#include <nlohmann/json.hpp>

#include "platform/utf8_check.hpp"
#include "support/text.hpp"

namespace quorvane::json_detail {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool is_plain_byte(unsigned char c) {
  return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

// The escaped form of a character, or an empty view when it is written unchanged.
std::string_view escape_of(char32_t c, char (&buffer)[6]) {
  switch (c) {
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case 0x08:
      return "\\b";
    case 0x09:
      return "\\t";
    case 0x0A:
      return "\\n";
    case 0x0C:
      return "\\f";
    case 0x0D:
      return "\\r";
    default:
      break;
  }
  if (c >= 0x20) return {};
  buffer[0] = '\\';
  buffer[1] = 'u';
  buffer[2] = '0';
  buffer[3] = '0';
  buffer[4] = kHexDigits[(c >> 4) & 0x0F];
  buffer[5] = kHexDigits[c & 0x0F];
  return std::string_view(buffer, 6);
}

}  // namespace

bool is_plain_text(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  std::size_t i = 0;
  // Eight bytes at a time: a byte is suspect when it is below 0x20, has its high bit, or equals
  // the quotation mark or the backslash. The tests may flag a plain byte next to a suspect one
  // (borrows); then the bytes are looked at one by one, which decides exactly.
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    const std::uint64_t quote = word ^ (kOnes * '"');
    const std::uint64_t backslash = word ^ (kOnes * '\\');
    const std::uint64_t suspect =
        ((word - kOnes * 0x20) | (quote - kOnes) | (backslash - kOnes) | word) & kHigh;
    if (suspect != 0) break;
  }
  for (; i < text.size(); ++i) {
    if (!is_plain_byte(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

std::string escaped_text(std::string_view text) {
  if (!platform::is_valid_utf8(text)) {
    // Rare enough to leave to the library, whose replacement is the one to match.
    const std::string quoted =
        nlohmann::ordered_json(std::string(text))
            .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    return quoted.substr(1, quoted.size() - 2);
  }
  std::string out;
  out.reserve(text.size() + 8);
  std::size_t plain_from = 0;  // start of the bytes not yet copied, all of them unchanged
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (is_plain_byte(static_cast<unsigned char>(text[pos]))) {
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    const std::optional<char32_t> c = decode_utf8_at(text, pos);
    char buffer[6];
    const std::string_view escaped = c ? escape_of(*c, buffer) : std::string_view();
    if (escaped.empty()) continue;  // a character written as its own bytes
    out.append(text.substr(plain_from, start - plain_from));
    out.append(escaped);
    plain_from = pos;
  }
  out.append(text.substr(plain_from));
  return out;
}

}  // namespace quorvane::json_detail
