#pragma once

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "trace/records.hpp"

namespace quorvane::testing {

// The entry of `name` in a hand-built state's map, made empty first when there is none.
inline StageState& stage_entry(StageMap& stages, std::string_view name) {
  return stages.emplace(std::string(name), StageState{}).first->second;
}

// The entry of `name`, which the test expects to be there.
inline const StageState& stage_at(const StageMap& stages, std::string_view name) {
  const auto found = stages.find(name);
  if (found != stages.end()) return found->second;
  ADD_FAILURE() << "no stage entry for " << name;
  static const StageState none;
  return none;
}

}  // namespace quorvane::testing
