#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "manifest/model.hpp"
#include "review/agent_review.hpp"
#include "trace/records.hpp"

namespace quorvane {

AgentReview lint_entry(const Manifest& manifest);

// The title findings, sorted by requirement id, then criterion.
std::vector<Finding> lint_titles(const Manifest& manifest);

Finding quality_finding(const Requirement& requirement, std::string_view criterion,
                        std::string message);

}  // namespace quorvane
