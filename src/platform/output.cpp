#include "platform/output.hpp"

#include <sys/uio.h>
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

bool write_all(int fd, std::string_view text, std::string_view tail) {
  while (!text.empty()) {
    iovec pieces[2] = {{const_cast<char*>(text.data()), text.size()},
                       {const_cast<char*>(tail.data()), tail.size()}};
    const ssize_t n = ::writev(fd, pieces, 2);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    auto written = static_cast<std::size_t>(n);
    if (written >= text.size()) {
      written -= text.size();
      text = {};
      tail.remove_prefix(written);
    } else {
      text.remove_prefix(written);
    }
  }
  return write_all(fd, tail);
}

}  // namespace

bool write_stdout(std::string_view text) { return write_all(STDOUT_FILENO, text); }
bool write_stdout(std::string_view text, std::string_view tail) {
  return write_all(STDOUT_FILENO, text, tail);
}
bool write_stderr(std::string_view text) { return write_all(STDERR_FILENO, text); }

}  // namespace quorvane::platform
