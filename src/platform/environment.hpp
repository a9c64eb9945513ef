#pragma once

#include <optional>
#include <string>

namespace quorvane::platform {

// The value of an environment variable, if set, as UTF-8. Names match as the system matches
// them (on Windows without regard to case).
std::optional<std::string> environment_variable(const char* name);

}  // namespace quorvane::platform
