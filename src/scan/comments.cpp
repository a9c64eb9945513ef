#include "scan/comments.hpp"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace quorvane {
namespace {

constexpr std::string_view kTripleDouble = R"(""")";
constexpr std::string_view kTripleSingle = "'''";

// Position of the first `c` at or after `from`, or `n` when there is none.
std::size_t find_byte(const char* data, std::size_t from, std::size_t n, char c) {
  if (from >= n) return n;
  const void* hit = std::memchr(data + from, c, n - from);
  return hit == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(hit) - data);
}

// The next position of a byte or a text (`Needle`) in a line, found by search and kept until the
// scan passes it, so that a line is searched for it once however often the scan asks.
template <class Needle>
class NextHit {
 public:
  NextHit(std::string_view line, Needle needle) : line_(line), needle_(needle) {}
  // The position, or the line's size when there is none.
  std::size_t at_or_after(std::size_t from) {
    if (!known_ || next_ < from) {
      if constexpr (std::is_same_v<Needle, char>) {
        next_ = find_byte(line_.data(), from, line_.size(), needle_);
      } else {
        next_ = std::min(line_.find(needle_, from), line_.size());
      }
      known_ = true;
    }
    return next_;
  }

 private:
  std::string_view line_;
  Needle needle_;
  std::size_t next_ = 0;
  bool known_ = false;
};

void clike_segments(std::string_view line, CommentState& state, std::vector<Segment>& out) {
  const char* data = line.data();
  const std::size_t n = line.size();
  std::size_t block_start = 0;
  bool in_string = false;
  // In code only "/" and a double quote matter, in a string only a backslash and a double quote.
  NextHit slashes(line, '/');
  NextHit quotes(line, '"');
  NextHit backslashes(line, '\\');
  std::size_t i = 0;
  while (i < n) {
    if (state.in_block) {
      const std::size_t star = find_byte(data, i, n, '*');
      if (star + 1 >= n) {
        i = n;
        break;
      }
      if (data[star + 1] == '/') {
        out.push_back(line.substr(block_start, star + 2 - block_start));
        state.in_block = false;
        i = star + 2;
      } else {
        i = star + 1;
      }
    } else if (in_string) {
      i = std::min(quotes.at_or_after(i), backslashes.at_or_after(i));
      if (i == n) break;
      if (data[i] == '\\' && i + 1 < n) {
        i += 2;
        continue;
      }
      if (data[i] == '"') in_string = false;
      ++i;
    } else {
      const std::size_t next_slash = slashes.at_or_after(i);
      const std::size_t next_quote = quotes.at_or_after(i);
      if (next_quote < next_slash) {
        in_string = true;
        i = next_quote + 1;
        continue;
      }
      if (next_slash >= n) break;  // neither a comment nor a string starts on the rest
      i = next_slash;
      if (i + 1 < n) {
        if (data[i + 1] == '*') {
          state.in_block = true;
          block_start = i;
          i += 2;
          continue;
        }
        if (data[i + 1] == '/') {
          out.push_back(line.substr(i));
          return;
        }
      }
      ++i;
    }
  }
  if (state.in_block) out.push_back(line.substr(block_start));
}

// Each search goes on from where the line's scan stands and is kept until the scan passes its
// hit, so a line costs time in proportion to its length however many strings it holds.
void python_segments(std::string_view line, CommentState& state, std::vector<Segment>& out) {
  const std::size_t n = line.size();
  NextHit hashes(line, '#');
  NextHit doubles(line, kTripleDouble);
  NextHit singles(line, kTripleSingle);
  const auto closing = [&](std::string_view delimiter) -> NextHit<std::string_view>& {
    return delimiter == kTripleDouble ? doubles : singles;
  };
  std::size_t pos = 0;
  while (pos < n) {
    if (state.open_delimiter) {
      const std::size_t close = closing(*state.open_delimiter).at_or_after(pos);
      if (close == n) {
        out.push_back(line.substr(pos));
        return;
      }
      out.push_back(line.substr(pos, close + 3 - pos));
      state.open_delimiter.reset();
      pos = close + 3;
      continue;
    }
    // The earliest of "#" and the two triple quotes; no two of them start at one position.
    const std::size_t hash = hashes.at_or_after(pos);
    const std::size_t double_quote = doubles.at_or_after(pos);
    const std::size_t single_quote = singles.at_or_after(pos);
    const std::size_t first = std::min({hash, double_quote, single_quote});
    if (first == n) return;
    if (first == hash) {
      out.push_back(line.substr(hash));
      return;
    }
    const std::string_view delimiter = first == double_quote ? kTripleDouble : kTripleSingle;
    // The closing search starts after the opening three: four quotes open and do not close.
    const std::size_t close = closing(delimiter).at_or_after(first + 3);
    if (close == n) {
      out.push_back(line.substr(first));
      state.open_delimiter = delimiter;
      return;
    }
    out.push_back(line.substr(first, close + 3 - first));
    pos = close + 3;
  }
}

void hash_segments(std::string_view line, std::vector<Segment>& out) {
  const std::size_t hash = line.find('#');
  if (hash != std::string_view::npos) out.push_back(line.substr(hash));
}

}  // namespace

void comment_segments(std::string_view line, CommentStyle style, CommentState& state,
                      std::vector<Segment>& out) {
  out.clear();
  switch (style) {
    case CommentStyle::CLike:
      clike_segments(line, state, out);
      return;
    case CommentStyle::Python:
      python_segments(line, state, out);
      return;
    case CommentStyle::Markdown:
      out.push_back(line);
      return;
    case CommentStyle::Hash:
      hash_segments(line, out);
      return;
  }
}

}  // namespace quorvane
