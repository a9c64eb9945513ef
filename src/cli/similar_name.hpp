#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Jaro-Winkler similarity of two byte strings: 1 for equal texts, 0 for nothing in common.
double jaro_winkler(std::string_view a, std::string_view b);

// The candidate most similar to `typed`, if any is close enough to be a likely typo; the first
// defined candidate wins a tie.
std::optional<std::string> most_similar_name(std::string_view typed,
                                             const std::vector<std::string>& candidates);

}  // namespace quorvane
