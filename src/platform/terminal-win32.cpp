#include "platform/terminal.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {

// Placeholder until the console services are built.
bool is_terminal(Stream) {
  return false;
}

std::optional<std::string> environment_variable(const char*) {
  return std::nullopt;
}

}  // namespace quorvane::platform
