#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "trace/records.hpp"

namespace quorvane {

std::string render_review_text(std::string_view label, const std::vector<Finding>& findings,
                               std::uint64_t item_count, std::string_view noun,
                               std::string_view prompt);

}  // namespace quorvane
