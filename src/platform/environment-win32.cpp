#include "platform/environment.hpp"

#include "platform/win32_support.hpp"

namespace quorvane::platform {

std::optional<std::string> environment_variable(const char* name) {
  const std::optional<std::wstring> value = win32::environment_value(win32::to_wide(name));
  if (!value) return std::nullopt;
  return win32::to_utf8(*value);
}

}  // namespace quorvane::platform
