#include "platform/read_file.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

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

// One read of a FIFO as cat reads it: it waits for data, and gives 0 once the writers have been
// and gone. The descriptor was opened without waiting, which Linux marks so that poll reports no
// hang-up before a writer has come; a read alone would take "no writer yet" for the end.
ReadSomeOutcome read_some_waiting(int fd, char* into, std::size_t room) {
  for (;;) {
    pollfd wanted{.fd = fd, .events = POLLIN, .revents = 0};
    if (::poll(&wanted, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return Failure{os_error_text(errno)};
    }
    const ssize_t n = ::read(fd, into, room);
    if (n >= 0) return BytesRead{static_cast<std::size_t>(n)};
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
    return Failure{os_error_text(errno)};
  }
}

}  // namespace

// A regular file is read straight into a buffer of its size, in one read when the system gives
// it all.
Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer,
                                    FifoReading fifos) {
  return read_whole_file(path.native(), buffer, fifos);
}

Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer,
                                    FifoReading fifos) {
  // Opened without waiting, so that neither a FIFO nor a device can hold up the open itself; no
  // controlling terminal may be acquired through a tty that happens to sit in the tree.
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
  const bool waits = S_ISFIFO(info.st_mode) && fifos == FifoReading::WaitForTheWriter;
  return read_to_end(
      [&file, waits](char* into, std::size_t room) {
        return waits ? read_some_waiting(file.get(), into, room)
                     : read_some(file.get(), into, room);
      },
      reported_size, buffer);
}

}  // namespace quorvane::platform
