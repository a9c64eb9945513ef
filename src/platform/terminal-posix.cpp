#include "platform/terminal.hpp"

#include <unistd.h>

#include <cstdlib>

namespace quorvane::platform {

bool is_terminal(Stream stream) {
  return ::isatty(stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool prepare_for_colour(Stream) {
  return true;
}

std::optional<std::string> environment_variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace quorvane::platform
