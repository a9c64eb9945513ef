#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvane {

// The level of a requirement and the severity of a finding; compares by value.
enum class Priority : std::uint8_t { Could = 0, Should = 1, Must = 2 };

// Only the exact words "could", "should" and "must" denote a priority.
std::optional<Priority> priority_from_word(std::string_view word);
std::string_view priority_word(Priority priority);

}  // namespace quorvane
