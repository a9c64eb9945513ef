#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

namespace quorvane::platform {

// The parts of `text` between its `separator`s, empty ones included ("a::b" gives "a", "" and
// "b"; the empty text gives one empty part), so that the caller decides what an empty part means.
// Templated so that the Windows code splits its UTF-16 lists by the same rule as POSIX splits
// bytes.
template <class Char>
std::vector<std::basic_string_view<Char>> separated_parts(std::basic_string_view<Char> text,
                                                          Char separator) {
  std::vector<std::basic_string_view<Char>> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace quorvane::platform
