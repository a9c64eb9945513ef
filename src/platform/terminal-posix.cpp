#include "platform/terminal.hpp"

#include <unistd.h>

namespace quorvane::platform {

bool is_terminal(Stream stream) {
  return ::isatty(stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool prepare_for_colour(Stream) {
  return true;
}

}  // namespace quorvane::platform
