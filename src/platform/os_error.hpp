#pragma once

#include <string>

namespace quorvane::platform {

// The system's description of an errno value followed by " (os error N)".
std::string os_error_text(int error_number);

}  // namespace quorvane::platform
