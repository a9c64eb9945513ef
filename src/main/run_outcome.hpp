#pragma once

#include <string>
#include <variant>

#include "platform/output.hpp"
#include "support/result.hpp"

namespace quorvane {

// An exit status (0 or 1) after the run wrote its report, or an error message: one found before
// the run wrote anything, or the reason its report could not be written.
using RunOutcome = std::variant<int, Failure>;

// The outcome of output that went to standard output with `result`: `status` when it was
// written, and also when its reader went away (as `quorvane list | head -1` does; nobody is left
// to tell), else the message "cannot write to standard output: <os text>".
RunOutcome outcome_after_output(const platform::WriteResult& result, int status);

// Writes the composed report in one piece, the JSON form with one line break after it, and
// gives the run's outcome: `status`, unless the report could not be written.
[[nodiscard]] RunOutcome write_report(const std::string& text, bool json, int status);

}  // namespace quorvane
