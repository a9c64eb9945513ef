#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "support/result.hpp"

namespace quorvane {

// File path (relative to the project directory, "/" between components) -> added line numbers.
using ChangedLines = std::unordered_map<std::string, std::unordered_set<std::uint64_t>>;

Result<ChangedLines> changed_lines_since(const std::filesystem::path& project_dir,
                                         std::string_view revision);

// The added lines of a `git diff --unified=0` text, by file: each hunk's body is read by the
// counts in its header, and a path comes only from a "+++ b/..." header, plain or quoted.
ChangedLines read_added_lines(std::string_view diff_text);

ChangedLines strip_show_prefix(ChangedLines lines, std::string_view prefix);

}  // namespace quorvane
