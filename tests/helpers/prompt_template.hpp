#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::testing {

// A prompt's fixed header with its one "{}" replaced by the count it shows.
inline std::string with_count(std::string_view header_template, std::string_view count) {
  const std::size_t at = header_template.find("{}");
  std::string text(header_template.substr(0, at));
  text.append(count).append(header_template.substr(at + 2));
  return text;
}

}  // namespace quorvane::testing
