#pragma once

#include <string>
#include <variant>

#include "support/result.hpp"

namespace quorvane {

// An exit status (0 or 1) after the run wrote its report, or an error message before it wrote any.
using RunOutcome = std::variant<int, Failure>;

// Writes the composed report in one piece; the JSON form gets one line break after it.
void write_report(const std::string& text, bool json);

}  // namespace quorvane
