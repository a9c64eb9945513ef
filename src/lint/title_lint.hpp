#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lint/agent_review.hpp"
#include "manifest/model.hpp"
#include "trace/records.hpp"

namespace quorvane {

AgentReview lint_entry(const Manifest& manifest);

inline constexpr ReviewLabels kQualityReviewLabels{"Requirement quality", "requirement"};

// The title findings, sorted by requirement id, then criterion.
std::vector<Finding> lint_titles(const Manifest& manifest);

Finding quality_finding(const Requirement& requirement, std::string_view criterion,
                        std::string message);

}  // namespace quorvane
