#pragma once

#include "review/agent_review.hpp"
#include "trace/records.hpp"

namespace quorvane {

AgentReview tag_placement_prompt(const TraceResult& trace);

}  // namespace quorvane
