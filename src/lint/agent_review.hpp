#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "trace/records.hpp"

namespace quorvane {

// The result of lint and review: deterministic findings and the prompt for an AI agent.
struct AgentReview {
  std::vector<Finding> findings;
  std::string agent_prompt;
  std::uint64_t item_count = 0;
};

// How the text report of a review names it and the items it queued for the agent ("{noun}s"
// for more than one).
struct ReviewLabels {
  std::string_view label;
  std::string_view noun;
};

}  // namespace quorvane
