#include "platform/os_error.hpp"

#include <cstring>

#include <fmt/format.h>

namespace quorvane::platform {

std::string os_error_text(int error_number) {
  char buffer[256];
  // GNU strerror_r returns the text, which may or may not be the buffer.
  const char* text = strerror_r(error_number, buffer, sizeof buffer);
  return fmt::format("{} (os error {})", text, error_number);
}

}  // namespace quorvane::platform
