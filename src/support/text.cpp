#include "support/text.hpp"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

bool is_unicode_whitespace(char32_t c) {
  switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

std::optional<char32_t> decode_utf8_at(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t value = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++pos;
    return std::nullopt;
  }
  std::size_t i = pos + 1;
  for (std::size_t k = 1; k < length; ++k, ++i) {
    if (i >= text.size()) {
      pos = i;
      return std::nullopt;
    }
    const unsigned char b = byte(i);
    const unsigned char lo = k == 1 ? low : 0x80;
    const unsigned char hi = k == 1 ? high : 0xBF;
    if (b < lo || b > hi) {
      pos = i;
      return std::nullopt;
    }
    value = (value << 6) | (b & 0x3F);
  }
  pos = i;
  return value;
}

namespace {

// The position of the first byte at or after `pos` that is not ASCII, or the size of the text.
// Source text is mostly ASCII: it is skipped 64 bytes at a time, then 16 (8 without SSE2).
std::size_t skip_ascii(std::string_view text, std::size_t pos) {
  const char* data = text.data();
  const std::size_t n = text.size();
#if defined(__SSE2__)
  const auto load = [&](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
  };
  while (pos + 64 <= n) {
    const __m128i any = _mm_or_si128(_mm_or_si128(load(pos), load(pos + 16)),
                                     _mm_or_si128(load(pos + 32), load(pos + 48)));
    if (_mm_movemask_epi8(any) != 0) break;
    pos += 64;
  }
  while (pos + 16 <= n) {
    const int high = _mm_movemask_epi8(load(pos));
    if (high != 0)
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    pos += 16;
  }
#else
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (pos + 8 <= n) {
    std::uint64_t word;
    std::memcpy(&word, data + pos, sizeof word);
    if ((word & kHighBits) != 0) break;
    pos += 8;
  }
#endif
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

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string decode_utf8_lossy(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    if (auto c = decode_utf8_at(bytes, pos)) {
      out.append(bytes.substr(start, pos - start));
    } else {
      append_utf8(out, 0xFFFD);
    }
  }
  return out;
}

namespace {

// Length in bytes of the white-space character ending at `end`, or 0.
std::size_t whitespace_before(std::string_view text, std::size_t end) {
  // Characters are at most 4 bytes; find the start of the last one.
  std::size_t start = end;
  do {
    --start;
  } while (start > 0 && end - start < 4 &&
           (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80);
  std::size_t pos = start;
  auto c = decode_utf8_at(text, pos);
  if (c && pos == end && is_unicode_whitespace(*c)) return end - start;
  return 0;
}

}  // namespace

std::string_view trim_unicode_whitespace_end(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0) {
    const std::size_t n = whitespace_before(text, end);
    if (n == 0) break;
    end -= n;
  }
  return text.substr(0, end);
}

std::string_view trim_unicode_whitespace(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t pos = begin;
    auto c = decode_utf8_at(text, pos);
    if (!c || !is_unicode_whitespace(*c)) break;
    begin = pos;
  }
  return trim_unicode_whitespace_end(text.substr(begin));
}

bool is_blank(std::string_view text) {
  return trim_unicode_whitespace(text).empty();
}

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return out;
}

}  // namespace quorvane
