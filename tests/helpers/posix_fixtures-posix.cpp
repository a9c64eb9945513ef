#include "helpers/posix_fixtures.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace quorvane::testing {
namespace {

std::runtime_error failure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

std::optional<std::string> why_no_fifos() {
  return std::nullopt;
}

void make_fifo(const std::filesystem::path& path) {
  if (::mkfifo(path.c_str(), 0644) != 0) throw failure("mkfifo " + path.native());
}

LateFifoWriter::LateFifoWriter(const std::filesystem::path& path, std::vector<std::string> pieces,
                               std::chrono::milliseconds delay, std::chrono::milliseconds pause)
    : thread_([this, path, pieces = std::move(pieces), delay, pause] {
        std::this_thread::sleep_for(delay);
        // Opened without waiting, so that a reader that never comes cannot hold the test:
        // ENXIO says that none has the FIFO open yet.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int fd = -1;
        while ((fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
          if (errno != ENXIO || std::chrono::steady_clock::now() > deadline) return;
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // Each piece is small, so a write gives it whole to the pipe.
        bool all = true;
        for (std::size_t i = 0; i < pieces.size() && all; ++i) {
          if (i > 0) std::this_thread::sleep_for(pause);
          all = ::write(fd, pieces[i].data(), pieces[i].size()) ==
                static_cast<ssize_t>(pieces[i].size());
        }
        ::close(fd);
        wrote_all_ = all;
      }) {}

LateFifoWriter::~LateFifoWriter() {
  if (thread_.joinable()) thread_.join();
}

bool LateFifoWriter::finished() {
  if (thread_.joinable()) thread_.join();
  return wrote_all_;
}

std::optional<std::string> why_no_unix_sockets() {
  return std::nullopt;
}

BoundSocket::BoundSocket(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.native().size() >= sizeof address.sun_path) {
    throw std::runtime_error("socket path too long: " + path.native());
  }
  std::strcpy(address.sun_path, path.c_str());
  fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd_ < 0) throw failure("socket");
  if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const std::runtime_error error = failure("bind " + path.native());
    ::close(fd_);
    throw error;
  }
}

BoundSocket::~BoundSocket() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> why_descriptors_cannot_be_limited() {
  return std::nullopt;
}

void run_with_descriptor_room(int room, const std::function<void()>& body) {
  // The lowest free descriptor tells how many are in use.
  const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (probe < 0) throw failure("open /dev/null");
  ::close(probe);
  rlimit saved{};
  if (::getrlimit(RLIMIT_NOFILE, &saved) != 0) throw failure("getrlimit");
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(probe + room);
  if (::setrlimit(RLIMIT_NOFILE, &tight) != 0) throw failure("setrlimit");
  body();
  if (::setrlimit(RLIMIT_NOFILE, &saved) != 0) throw failure("setrlimit");
}

}  // namespace quorvane::testing
