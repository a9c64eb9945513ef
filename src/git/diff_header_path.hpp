#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The path of a "--- " or "+++ " header, given the text after those four characters. git prints
// a path as it is, with a tab after it when it holds a space, or in C-style quotes when it holds
// a byte it will not show raw. Returns the path (quoted bytes decoded as UTF-8 with U+FFFD), or
// nothing when the text is in neither form.
std::optional<std::string> read_diff_header_path(std::string_view field);

}  // namespace quorvane
