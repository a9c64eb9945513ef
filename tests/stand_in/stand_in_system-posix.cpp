#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "stand_in/stand_in_system.hpp"

namespace quorvane::testing::stand_in {

bool write_all(Stream stream, std::string_view bytes) {
  const int fd = stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

InputReport read_input() {
  InputReport report;
  struct stat input {};
  struct stat null_device {};
  report.null_device = ::fstat(STDIN_FILENO, &input) == 0 &&
                       ::stat("/dev/null", &null_device) == 0 && S_ISCHR(input.st_mode) &&
                       input.st_rdev == null_device.st_rdev;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    report.bytes += static_cast<std::size_t>(n);
  }
  return report;
}

bool write_to_handle(const std::string& handle) {
  return ::write(std::atoi(handle.c_str()), "x", 1) == 1;
}

}  // namespace quorvane::testing::stand_in

int main(int argc, char** argv) {
  return quorvane::testing::stand_in::run(std::vector<std::string>(argv + 1, argv + argc));
}
