#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/files.hpp"
#include "platform/os_error.hpp"
#include "support/text.hpp"

namespace quorvane::platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

constexpr const char* kInvalidUtf8 = "stream did not contain valid UTF-8";

}  // namespace

Result<std::filesystem::path> current_directory() {
  std::string buffer(PATH_MAX, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Failure{os_error_text(errno)};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return std::filesystem::path(buffer);
}

Result<std::string> read_utf8_file(const std::filesystem::path& path) {
  // Non-blocking, so that a FIFO without a writer reads as empty instead of hanging the scan;
  // no controlling terminal may be acquired through a tty that happens to sit in the tree.
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Failure{os_error_text(errno)};
  FileDescriptor file(fd);

  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return Failure{os_error_text(errno)};
  // A device may never reach its end (think /dev/zero); it is no source file to read.
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return Failure{os_error_text(ENODEV)};

  std::string content;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    content.reserve(static_cast<std::size_t>(info.st_size) + 1);
  }
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
    if (n > 0) {
      content.append(chunk, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) break;
    if (errno == EINTR) continue;
    // A FIFO whose writer has nothing more for us right now: take what arrived.
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    return Failure{os_error_text(errno)};
  }
  if (!is_valid_utf8(content)) return Failure{kInvalidUtf8};
  return content;
}

}  // namespace quorvane::platform
