#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trace/records.hpp"

namespace quorvane {

// The result of lint and review: deterministic findings and the prompt for an AI agent.
struct AgentReview {
  std::vector<Finding> findings;
  std::string agent_prompt;
  std::uint64_t item_count = 0;
};

}  // namespace quorvane
