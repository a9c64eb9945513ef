#pragma once

#include "lint/agent_review.hpp"
#include "trace/records.hpp"

namespace quorvane {

AgentReview tag_placement_prompt(const TraceResult& trace);

inline constexpr ReviewLabels kPlacementReviewLabels{"Tag placement review", "tag placement"};

}  // namespace quorvane
