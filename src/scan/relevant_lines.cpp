#include "scan/relevant_lines.hpp"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

std::uint64_t count_line_feeds(std::string_view text) {
  const char* data = text.data();
  const std::size_t n = text.size();
  std::uint64_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes per step: each matching lane adds one to its byte counter, and the counters
  // are summed before any of them can pass 255.
  const __m128i feed = _mm_set1_epi8('\n');
  while (n - i >= 16) {
    __m128i counters = _mm_setzero_si128();
    const std::size_t steps = std::min<std::size_t>((n - i) / 16, 255);
    for (std::size_t step = 0; step < steps; ++step, i += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(chunk, feed));
    }
    const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    count += static_cast<std::uint64_t>(_mm_extract_epi16(sums, 0)) +
             static_cast<std::uint64_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; i < n; ++i) count += data[i] == '\n' ? 1 : 0;
  return count;
}

namespace {

// The first occurrence of `needle` (one to three bytes) at or after `pos`, or npos. A needle of
// two or three bytes is looked for sixteen positions at a time: a generic search stops at every
// occurrence of its first byte, and "/" and the quotes are frequent in source text.
std::size_t find_needle(std::string_view text, std::string_view needle, std::size_t pos) {
  if (needle.size() == 1) return text.find(needle[0], pos);
#if defined(__SSE2__)
  const char* data = text.data();
  const std::size_t last_start = text.size() - std::min(text.size(), needle.size() - 1);
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i second = _mm_set1_epi8(needle[1]);
  const __m128i third = _mm_set1_epi8(needle.size() > 2 ? needle[2] : needle[1]);
  const bool three = needle.size() > 2;
  // Every load stays inside the text: the block at `pos` reads up to `pos + 15 + size - 1`.
  while (pos + 16 <= last_start) {
    const auto at = [&](std::size_t offset) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + offset));
    };
    __m128i match = _mm_and_si128(_mm_cmpeq_epi8(at(0), first), _mm_cmpeq_epi8(at(1), second));
    if (three) match = _mm_and_si128(match, _mm_cmpeq_epi8(at(2), third));
    const int mask = _mm_movemask_epi8(match);
    if (mask != 0)
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    pos += 16;
  }
#endif
  return text.find(needle, pos);
}

#if defined(__SSE2__)
__m128i load16(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

int highest_bit(unsigned mask) {
  return 31 - __builtin_clz(mask);
}
#endif

// Position of the last `c` in text[from, to), or npos.
std::size_t last_byte(std::string_view text, std::size_t from, std::size_t to, char c) {
  const char* data = text.data();
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(c);
  while (to - from >= 16) {
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(load16(data + to - 16), wanted));
    if (mask != 0)
      return to - 16 + static_cast<std::size_t>(highest_bit(static_cast<unsigned>(mask)));
    to -= 16;
  }
#endif
  while (to > from) {
    if (data[--to] == c) return to;
  }
  return std::string_view::npos;
}

// True when a C-like line that starts in code is sure to end in code: its last "*/" starts at
// least two bytes after its last "/*". A block open at the end would have begun at one of the
// "/*" and seen no "*/" starting two or more bytes later (the "*" of "/*/" opens, it does not
// close).
bool ends_outside_blocks(std::string_view line) {
  // One backward pass: the last "*/" is met first, and all that matters is whether a "/*"
  // starts less than two bytes before it or after it.
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t last_close = kNone;
  const auto decide = [&](std::size_t open) {
    return last_close != kNone && last_close >= open + 2;
  };
  const char* data = line.data();
  // Pairs start at 0 .. size-2; `end` bounds the starts not yet looked at.
  std::size_t end = line.size() < 2 ? 0 : line.size() - 1;
#if defined(__SSE2__)
  const __m128i slash = _mm_set1_epi8('/');
  const __m128i star = _mm_set1_epi8('*');
  while (end >= 16) {
    const std::size_t block = end - 16;
    const __m128i here = load16(data + block);
    const __m128i next = load16(data + block + 1);
    const auto opens = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, slash), _mm_cmpeq_epi8(next, star))));
    const auto closes = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, star), _mm_cmpeq_epi8(next, slash))));
    if (closes != 0 && last_close == kNone) {
      last_close = block + static_cast<std::size_t>(highest_bit(closes));
    }
    if (opens != 0) return decide(block + static_cast<std::size_t>(highest_bit(opens)));
    end = block;
  }
#endif
  while (end-- > 0) {
    if (data[end] == '/' && data[end + 1] == '*') return decide(end);
    if (data[end] == '*' && data[end + 1] == '/' && last_close == kNone) last_close = end;
  }
  return true;  // no "/*" at all
}

}  // namespace

std::size_t RelevantLines::find(Search& search, std::size_t pos) const {
  if (search.known && search.from <= pos && pos <= search.hit) return search.hit;
  const std::size_t hit = find_needle(text_, search.needle, pos);
  search.from = pos;
  search.hit = hit == std::string_view::npos ? text_.size() : hit;
  search.known = true;
  return search.hit;
}

RelevantLines::Triggers RelevantLines::triggers(const CommentState& state, std::size_t pos) {
  constexpr char kNoPartner = '\0';
  switch (style_) {
    case CommentStyle::CLike:
      if (state.in_block) return {find(block_end_, pos), find(bracket_, pos), kNoPartner};
      return {find(block_start_, pos), find(bracket_, pos), '/'};
    case CommentStyle::Python:
      if (state.open_delimiter) {
        Search& close =
            *state.open_delimiter == triple_double_.needle ? triple_double_ : triple_single_;
        return {find(close, pos), find(bracket_, pos), kNoPartner};
      }
      return {std::min(find(triple_double_, pos), find(triple_single_, pos)), find(bracket_, pos),
              '#'};
    case CommentStyle::Markdown:
      return {text_.size(), find(bracket_, pos), kNoPartner};
    case CommentStyle::Hash:
      return {text_.size(), find(bracket_, pos), '#'};
  }
  return {text_.size(), text_.size(), kNoPartner};
}

bool RelevantLines::next(const CommentState& state, std::string_view& line,
                         std::uint64_t& line_number) {
  while (!done_) {
    const Triggers found = triggers(state, pos_);
    const std::size_t hit = std::min(found.always, found.bracket);
    if (hit >= text_.size()) break;
    // No trigger byte is a line feed, and the one before `pos_` ends the previous line, so the
    // line of `hit` starts at or after `pos_`.
    const std::size_t feed_before = last_byte(text_, pos_, hit, '\n');
    const std::size_t start = feed_before == std::string_view::npos ? pos_ : feed_before + 1;
    line_number_ += count_line_feeds(text_.substr(pos_, start - pos_));
    std::size_t end = text_.find('\n', hit);
    if (end == std::string_view::npos) {
      end = text_.size();
      done_ = true;
    }
    pos_ = end + 1;
    const std::uint64_t number = line_number_++;
    const std::string_view raw = text_.substr(start, end - start);
    const bool has_bracket = found.bracket < end;
    // A bracket alone, without its partner and without a trigger of its own kind later on the
    // line, leaves the line inert.
    if (found.always >= end && found.partner != '\0' &&
        raw.find(found.partner) == std::string_view::npos) {
      continue;
    }
    if (!has_bracket && style_ == CommentStyle::CLike && !state.in_block &&
        ends_outside_blocks(raw)) {
      continue;
    }
    line = text_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line_number = number;
    return true;
  }
  done_ = true;
  return false;
}

}  // namespace quorvane
