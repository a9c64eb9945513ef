#include "platform/environment.hpp"

#include <cstdlib>

namespace quorvane::platform {

std::optional<std::string> environment_variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace quorvane::platform
