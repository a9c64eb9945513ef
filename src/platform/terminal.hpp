#pragma once

#include <optional>
#include <string>

namespace quorvane::platform {

enum class Stream { Out, Err };

bool is_terminal(Stream stream);

// The value of an environment variable, if set.
std::optional<std::string> environment_variable(const char* name);

}  // namespace quorvane::platform
