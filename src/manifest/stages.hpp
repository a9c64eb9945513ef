#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "manifest/model.hpp"

namespace quorvane {

inline constexpr std::array<std::string_view, 4> kBuiltinStages = {"doc", "impl", "unit", "int"};
inline constexpr std::array<std::string_view, 3> kDefaultRequiredStages = {"doc", "impl", "unit"};

// Transparent hashing so the scanner can test a string_view without copying it.
struct StageHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};
using StageSet = std::unordered_set<std::string, StageHash, std::equal_to<>>;

// The four built-in names plus every custom name; for membership tests only.
StageSet all_stages(const std::vector<StageDef>& custom_stages);
StageSet stage_set(const Manifest& manifest);

// The built-ins in table order, then the custom names in byte order.
std::vector<std::string> ordered_stages(const Manifest& manifest);

}  // namespace quorvane
