#include "platform/utf16.hpp"

#include "support/text.hpp"

namespace quorvane::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_high_surrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The three bytes of a lone surrogate's value, in the form UTF-8 would give it if it allowed it.
void append_surrogate_bytes(std::string& out, char16_t unit) {
  out += static_cast<char>(0xE0 | (unit >> 12));
  out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (unit & 0x3F));
}

template <class AppendLone>
std::string convert(std::u16string_view text, AppendLone append_lone) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      const char32_t value = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      append_utf8(out, value);
      ++i;
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      append_lone(out, unit);
    } else {
      append_utf8(out, unit);
    }
  }
  return out;
}

}  // namespace

std::string utf16_to_utf8(std::u16string_view text) {
  return convert(text, [](std::string& out, char16_t) { append_utf8(out, kReplacement); });
}

std::string utf16_to_utf8_keeping_surrogates(std::u16string_view text) {
  return convert(text, append_surrogate_bytes);
}

std::u16string utf8_to_utf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t value = decode_utf8_at(text, pos).value_or(kReplacement);
    if (value < 0x10000) {
      out += static_cast<char16_t>(value);
    } else {
      out += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace quorvane::platform
