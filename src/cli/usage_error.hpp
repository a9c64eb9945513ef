#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/style.hpp"

namespace quorvane {

// A usage error before rendering: the message, optional tips and the usage line of the command
// that was being parsed.
struct UsageError {
  Spans message;
  std::vector<Spans> tips;
  Spans usage;
};

// "error: <message>", the tips, the usage line and a pointer to --help, each block apart.
std::string render_usage_error(const UsageError& error, const Style& style);

// A user's argument as it may be echoed back: control characters are written as escapes so
// that an argument cannot drive the terminal.
std::string shown_argument(std::string_view argument);

}  // namespace quorvane
