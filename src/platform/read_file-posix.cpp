#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/files.hpp"
#include "platform/os_error.hpp"
#include "platform/read_loop.hpp"

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

// One read(2); it may give less than asked (Linux gives at most 2,147,479,552 bytes per call,
// network file systems less at any time), which the read loop tells from the end of the file.
ReadSomeOutcome read_some(int fd, char* into, std::size_t room) {
  for (;;) {
    const ssize_t n = ::read(fd, into, room);
    if (n >= 0) return BytesRead{static_cast<std::size_t>(n)};
    if (errno == EINTR) continue;
    // A FIFO whose writer has nothing more for us right now: take what arrived.
    if (errno == EAGAIN || errno == EWOULDBLOCK) return NothingYet{};
    return Failure{os_error_text(errno)};
  }
}

}  // namespace

// A regular file is read straight into a buffer of its size, in one read when the system gives
// it all.
Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer) {
  return read_whole_file(path.native(), buffer);
}

Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer) {
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

  // Only a regular file's size says how much it holds.
  std::optional<std::size_t> reported_size;
  if (S_ISREG(info.st_mode)) reported_size = static_cast<std::size_t>(info.st_size);
  return read_to_end(
      [&file](char* into, std::size_t room) { return read_some(file.get(), into, room); },
      reported_size, buffer);
}

}  // namespace quorvane::platform
