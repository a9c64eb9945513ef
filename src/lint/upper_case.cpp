#include "lint/upper_case.hpp"

#include <algorithm>
#include <cstdint>

#include "lint/upper_case_data.hpp"
#include "support/text.hpp"

namespace quorvane {

namespace {

char32_t simple_upper(char32_t c) {
  const auto ranges = upper_case_data::ranges();
  // The last run that starts at or before c is the only one that can hold it.
  auto after = std::ranges::upper_bound(ranges, c, {}, &upper_case_data::Range::first);
  if (after == ranges.begin()) return c;
  const upper_case_data::Range& range = *(after - 1);
  if (c > range.last || (c - range.first) % range.stride != 0) return c;
  return static_cast<char32_t>(static_cast<std::int32_t>(c) + range.delta);
}

}  // namespace

void append_upper_case(std::string& out, char32_t c) {
  const auto expansions = upper_case_data::expansions();
  auto found = std::ranges::lower_bound(expansions, c, {}, &upper_case_data::Expansion::code_point);
  if (found != expansions.end() && found->code_point == c) {
    for (char32_t u : found->upper) {
      if (u != 0) append_utf8(out, u);
    }
    return;
  }
  append_utf8(out, simple_upper(c));
}

}  // namespace quorvane
