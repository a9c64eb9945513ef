#include "scan/relevant_lines.hpp"

#include <algorithm>

#include "scan/tags.hpp"

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

#if defined(__SSE2__)
__m128i load16(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

int highest_bit(unsigned mask) {
  return 31 - __builtin_clz(mask);
}

// The lanes of the sixteen positions from `at` where the needle whose bytes are spread over
// `bytes` begins.
template <std::size_t N>
__m128i needle_lanes(const char* at, const __m128i (&bytes)[N]) {
  __m128i match = _mm_cmpeq_epi8(load16(at), bytes[0]);
  for (std::size_t k = 1; k < N; ++k) {
    match = _mm_and_si128(match, _mm_cmpeq_epi8(load16(at + k), bytes[k]));
  }
  return match;
}

// The first occurrence of the N bytes of `needle` at or after `pos`, or npos. Sixty-four
// positions are tried at a time while none matches, which is nearly always, then sixteen.
template <std::size_t N>
std::size_t find_short_needle(std::string_view text, std::string_view needle, std::size_t pos) {
  const char* data = text.data();
  const std::size_t last_start = text.size() - std::min(text.size(), N - 1);
  __m128i bytes[N];
  for (std::size_t k = 0; k < N; ++k) bytes[k] = _mm_set1_epi8(needle[k]);
  const auto last_byte_at = [&](std::size_t at) {
    return _mm_cmpeq_epi8(load16(data + at + (N - 1)), bytes[N - 1]);
  };
  // Every load stays inside the text: the block at `pos` reads up to `pos + 63 + N - 1`.
  while (pos + 64 <= last_start) {
    // The needle's last byte alone first (">" of "->", a quote): most blocks of source text
    // lack it, and looking for one byte takes half the work.
    const __m128i last = _mm_or_si128(_mm_or_si128(last_byte_at(pos), last_byte_at(pos + 16)),
                                      _mm_or_si128(last_byte_at(pos + 32), last_byte_at(pos + 48)));
    if (_mm_movemask_epi8(last) != 0) {
      const __m128i any = _mm_or_si128(
          _mm_or_si128(needle_lanes(data + pos, bytes), needle_lanes(data + pos + 16, bytes)),
          _mm_or_si128(needle_lanes(data + pos + 32, bytes), needle_lanes(data + pos + 48, bytes)));
      if (_mm_movemask_epi8(any) != 0) break;
    }
    pos += 64;
  }
  while (pos + 16 <= last_start) {
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(needle_lanes(data + pos, bytes)));
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(mask));
    pos += 16;
  }
  return text.find(needle, pos);
}
#endif

// The first occurrence of `needle` (one to three bytes) at or after `pos`, or npos. A needle of
// two or three bytes is looked for many positions at a time: a generic search stops at every
// occurrence of its first byte, and "/", "-" and the quotes are frequent in source text.
std::size_t find_needle(std::string_view text, std::string_view needle, std::size_t pos) {
#if defined(__SSE2__)
  if (needle.size() == 2) return find_short_needle<2>(text, needle, pos);
  if (needle.size() == 3) return find_short_needle<3>(text, needle, pos);
#endif
  if (needle.size() == 1) return text.find(needle[0], pos);
  return text.find(needle, pos);
}

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

bool is_mark(char c) {
  return c == '[' || c == ']' || c == '\n';
}

#if defined(__SSE2__)
// The lanes of the sixteen bytes at `at` that hold a "[", a "]" or a line feed.
unsigned mark_lanes(const char* at) {
  const __m128i chunk = load16(at);
  const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('[')),
                                                  _mm_cmpeq_epi8(chunk, _mm_set1_epi8(']'))),
                                     _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')));
  return static_cast<unsigned>(_mm_movemask_epi8(marks));
}
#endif

// The first mark at or after `from`, or npos.
std::size_t first_mark(std::string_view text, std::size_t from) {
  const char* data = text.data();
  const std::size_t n = text.size();
#if defined(__SSE2__)
  for (; from + 16 <= n; from += 16) {
    const unsigned lanes = mark_lanes(data + from);
    if (lanes != 0) return from + static_cast<std::size_t>(__builtin_ctz(lanes));
  }
#endif
  for (; from < n; ++from) {
    if (is_mark(data[from])) return from;
  }
  return std::string_view::npos;
}

// The last mark in text[from, to), or npos.
std::size_t last_mark(std::string_view text, std::size_t from, std::size_t to) {
  const char* data = text.data();
#if defined(__SSE2__)
  for (; to - from >= 16; to -= 16) {
    const unsigned lanes = mark_lanes(data + to - 16);
    if (lanes != 0) return to - 16 + static_cast<std::size_t>(highest_bit(lanes));
  }
#endif
  while (to > from) {
    if (is_mark(data[--to])) return to;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t CandidateSearch::next_mark(std::size_t from) {
  if (!mark_known_ || from < mark_from_ || from > mark_) {
    mark_ = first_mark(text_, from);
    mark_from_ = from;
    mark_known_ = true;
  }
  return mark_;
}

std::size_t CandidateSearch::find(std::size_t pos) {
  constexpr std::size_t kNone = std::string_view::npos;
  if (answered_ && answer_from_ <= pos && pos <= answer_) return answer_;
  std::size_t answer = text_.size();
  std::size_t from = std::max(pos, arrows_from_);
  for (;;) {
    const std::size_t arrow = find_needle(text_, "->", from);
    if (arrow == kNone) break;
    // The nearest mark before the arrow on its line. Only bytes not looked at before are
    // searched, the last mark among the others is kept; the line starts at `pos` or later, so a
    // mark before `pos` does not count.
    const std::size_t seen_until = looked_back_;
    std::size_t before = last_mark(text_, std::max(seen_until, pos), arrow);
    if (before == kNone && seen_until > pos) before = last_mark_;
    if (before != kNone && before < pos) before = kNone;
    looked_back_ = arrow;
    last_mark_ = before;
    if (before == kNone || text_[before] != '[') {
      from = arrow + 1;
      continue;
    }
    const std::size_t after = next_mark(arrow + 2);
    if (after == kNone) break;  // no "]" is left to close anything
    // The arrows up to `after` lie between the same marks: one look settles them all.
    looked_back_ = after + 1;
    last_mark_ = after;
    from = after + 1;
    if (text_[after] == ']' && is_candidate(text_.substr(before + 1, after - before - 1))) {
      answer = before;
      break;
    }
  }
  arrows_from_ = from;
  answer_from_ = pos;
  answer_ = answer;
  answered_ = true;
  return answer;
}

std::size_t RelevantLines::find(Search& search, std::size_t pos) const {
  if (search.known && search.from <= pos && pos <= search.hit) return search.hit;
  const std::size_t hit = find_needle(text_, search.needle, pos);
  search.from = pos;
  search.hit = hit == std::string_view::npos ? text_.size() : hit;
  search.known = true;
  return search.hit;
}

RelevantLines::Triggers RelevantLines::triggers(const CommentState& state, std::size_t pos,
                                                std::size_t candidate) {
  constexpr char kNoPartner = '\0';
  switch (style_) {
    case CommentStyle::CLike:
      if (state.in_block) return {find(block_end_, pos), candidate, kNoPartner};
      return {find(block_start_, pos), candidate, '/'};
    case CommentStyle::Python:
      if (state.open_delimiter) {
        Search& close =
            *state.open_delimiter == triple_double_.needle ? triple_double_ : triple_single_;
        return {find(close, pos), candidate, kNoPartner};
      }
      return {std::min(find(triple_double_, pos), find(triple_single_, pos)), candidate, '#'};
    case CommentStyle::Markdown:
      return {text_.size(), candidate, kNoPartner};
    case CommentStyle::Hash:
      return {text_.size(), candidate, '#'};
  }
  return {text_.size(), text_.size(), kNoPartner};
}

bool RelevantLines::next(const CommentState& state, std::string_view& line,
                         std::uint64_t& line_number) {
  while (!done_) {
    // Past the last candidate nothing can be recorded, whatever the comments do.
    const std::size_t candidate = candidates_.find(pos_);
    if (candidate >= text_.size()) break;
    const Triggers found = triggers(state, pos_, candidate);
    const std::size_t hit = std::min(found.always, found.candidate);
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
    const bool has_candidate = found.candidate < end;
    // A candidate alone, without its partner and without a trigger of its own kind later on
    // the line, leaves the line inert.
    if (found.always >= end && found.partner != '\0' &&
        raw.find(found.partner) == std::string_view::npos) {
      continue;
    }
    if (!has_candidate && style_ == CommentStyle::CLike && !state.in_block &&
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
