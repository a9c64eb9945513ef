#include "scan/relevant_lines.hpp"

#include <algorithm>

#include "platform/byte_blocks.hpp"
#include "scan/tags.hpp"

namespace quorvane {
namespace {

using Blocks = platform::ByteBlocks;
using Block = Blocks::Block;
using platform::first_lane;
using platform::last_lane;

// The lanes of the sixteen positions from `at` where the needle whose bytes are repeated in
// `bytes` begins.
template <std::size_t N>
Block needle_lanes(const char* at, const Block (&bytes)[N]) {
  Block match = Blocks::equal(Blocks::load(at), bytes[0]);
  for (std::size_t k = 1; k < N; ++k) {
    match = match & Blocks::equal(Blocks::load(at + k), bytes[k]);
  }
  return match;
}

// The first occurrence of the N bytes of `needle` at or after `pos`, or npos. Sixty-four
// positions are tried at a time while none matches, which is nearly always, then sixteen.
template <std::size_t N>
std::size_t find_short_needle(std::string_view text, std::string_view needle, std::size_t pos) {
  const char* data = text.data();
  const std::size_t last_start = text.size() - std::min(text.size(), N - 1);
  Block bytes[N];
  for (std::size_t k = 0; k < N; ++k) bytes[k] = Blocks::repeat(needle[k]);
  const auto last_byte_at = [&](std::size_t at) {
    return Blocks::equal(Blocks::load(data + at + (N - 1)), bytes[N - 1]);
  };
  // Every load stays inside the text: the block at `pos` reads up to `pos + 63 + N - 1`.
  while (pos + 64 <= last_start) {
    // The needle's last byte alone first (">" of "->", a quote): most blocks of source text
    // lack it, and looking for one byte takes half the work.
    const Block last = (last_byte_at(pos) | last_byte_at(pos + 16)) |
                       (last_byte_at(pos + 32) | last_byte_at(pos + 48));
    if (Blocks::top_bits(last) != 0) {
      const Block any =
          (needle_lanes(data + pos, bytes) | needle_lanes(data + pos + 16, bytes)) |
          (needle_lanes(data + pos + 32, bytes) | needle_lanes(data + pos + 48, bytes));
      if (Blocks::top_bits(any) != 0) break;
    }
    pos += 64;
  }
  while (pos + Blocks::kSize <= last_start) {
    const unsigned mask = Blocks::top_bits(needle_lanes(data + pos, bytes));
    if (mask != 0) return pos + first_lane(mask);
    pos += Blocks::kSize;
  }
  return text.find(needle, pos);
}

// The first occurrence of `needle` (one to three bytes) at or after `pos`, or npos. A needle of
// two or three bytes is looked for many positions at a time: a generic search stops at every
// occurrence of its first byte, and "/", "-" and the quotes are frequent in source text.
std::size_t find_needle(std::string_view text, std::string_view needle, std::size_t pos) {
  if (needle.size() == 2) return find_short_needle<2>(text, needle, pos);
  if (needle.size() == 3) return find_short_needle<3>(text, needle, pos);
  if (needle.size() == 1) return text.find(needle[0], pos);
  return text.find(needle, pos);
}

// Position of the last `c` in text[from, to), or npos.
std::size_t last_byte(std::string_view text, std::size_t from, std::size_t to, char c) {
  const char* data = text.data();
  const Block wanted = Blocks::repeat(c);
  while (to - from >= Blocks::kSize) {
    const std::size_t block = to - Blocks::kSize;
    const unsigned mask = Blocks::top_bits(Blocks::equal(Blocks::load(data + block), wanted));
    if (mask != 0) return block + last_lane(mask);
    to = block;
  }
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
  const Block slash = Blocks::repeat('/');
  const Block star = Blocks::repeat('*');
  while (end >= Blocks::kSize) {
    const std::size_t block = end - Blocks::kSize;
    const Block here = Blocks::load(data + block);
    const Block next = Blocks::load(data + block + 1);
    const unsigned opens = Blocks::top_bits(Blocks::equal(here, slash) & Blocks::equal(next, star));
    const unsigned closes =
        Blocks::top_bits(Blocks::equal(here, star) & Blocks::equal(next, slash));
    if (closes != 0 && last_close == kNone) last_close = block + last_lane(closes);
    if (opens != 0) return decide(block + last_lane(opens));
    end = block;
  }
  while (end-- > 0) {
    if (data[end] == '/' && data[end + 1] == '*') return decide(end);
    if (data[end] == '*' && data[end + 1] == '/' && last_close == kNone) last_close = end;
  }
  return true;  // no "/*" at all
}

bool is_mark(char c) {
  return c == '[' || c == ']' || c == '\n';
}

// The lanes of the sixteen bytes at `at` that hold a "[", a "]" or a line feed.
unsigned mark_lanes(const char* at) {
  const Block chunk = Blocks::load(at);
  return Blocks::top_bits(
      (Blocks::equal(chunk, Blocks::repeat('[')) | Blocks::equal(chunk, Blocks::repeat(']'))) |
      Blocks::equal(chunk, Blocks::repeat('\n')));
}

// The first mark at or after `from`, or npos.
std::size_t first_mark(std::string_view text, std::size_t from) {
  const char* data = text.data();
  const std::size_t n = text.size();
  for (; from + Blocks::kSize <= n; from += Blocks::kSize) {
    const unsigned lanes = mark_lanes(data + from);
    if (lanes != 0) return from + first_lane(lanes);
  }
  for (; from < n; ++from) {
    if (is_mark(data[from])) return from;
  }
  return std::string_view::npos;
}

// The last mark in text[from, to), or npos.
std::size_t last_mark(std::string_view text, std::size_t from, std::size_t to) {
  const char* data = text.data();
  for (; to - from >= Blocks::kSize; to -= Blocks::kSize) {
    const unsigned lanes = mark_lanes(data + to - Blocks::kSize);
    if (lanes != 0) return to - Blocks::kSize + last_lane(lanes);
  }
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
    line_number_ += Blocks::count(text_.substr(pos_, start - pos_), '\n');
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
