#include "platform/output.hpp"

#include <unistd.h>

#include <cerrno>

namespace quorvane::platform {
namespace {

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool write_stdout(std::string_view text) { return write_all(STDOUT_FILENO, text); }
bool write_stderr(std::string_view text) { return write_all(STDERR_FILENO, text); }

}  // namespace quorvane::platform
