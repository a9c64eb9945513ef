#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The full upper-case mapping of the root locale as data. The definitions are generated at build
// time from the Unicode data files (src/lint/generate_upper_case_table.py); code points not
// listed map to themselves.
namespace quorvane::upper_case_data {

// Code points first, first + stride, ... up to last each map to one code point, their own value
// plus delta. Sorted by first, without overlap; a run with stride 2 skips only code points that
// map to themselves.
struct Range {
  char32_t first;
  char32_t last;
  std::uint8_t stride;
  std::int32_t delta;
};

// A code point whose upper-case form is two or three code points; unused places hold 0.
struct Expansion {
  char32_t code_point;
  char32_t upper[3];
};

// Sorted by first.
std::span<const Range> ranges();
// Sorted by code point.
std::span<const Expansion> expansions();
// The version of the data files, e.g. "15.0.0".
std::string_view unicode_version();

}  // namespace quorvane::upper_case_data
