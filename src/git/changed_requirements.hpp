#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>

#include "support/result.hpp"

namespace quorvane {

using ChangedRequirements = std::unordered_set<std::string>;
// Requirement id -> title (absent is the empty text); the last occurrence of an id wins.
using TitleMap = std::map<std::string, std::string>;

// The requirements of `current_manifest`, the text of the project's quorvane.toml, that are new
// or retitled since `revision`. The caller hands over the text it loaded: read a second time, a
// manifest given through a pipe would be gone, and one edited meanwhile would be another.
Result<ChangedRequirements> changed_requirements_since(const std::filesystem::path& project_dir,
                                                       std::string_view revision,
                                                       std::string_view current_manifest);

// "parse manifest at ref: {}" on failure.
Result<TitleMap> parse_requirement_titles(std::string_view manifest_text);

std::string git_show_error(std::string_view revision_path, std::string_view git_stderr);

}  // namespace quorvane
