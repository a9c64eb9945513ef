#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// A place in the manifest text: line and column count from 1, columns in characters.
struct SourcePoint {
  std::uint32_t line = 1;
  std::uint32_t column = 1;
};

// A failure to read the document, before it is rendered against the text.
struct DocumentFailure {
  std::string description;
  SourcePoint at;
};

// The report of a failure: the position, the source line with a marker under the column, and the
// description; every line ends with "\n".
std::string render_toml_report(std::string_view text, const DocumentFailure& failure);

}  // namespace quorvane
