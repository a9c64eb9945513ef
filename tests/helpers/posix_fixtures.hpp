#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvane::testing {

// Fixtures that only POSIX systems have: FIFOs, Unix sockets, a limit on open descriptors. On
// other systems each `why_...` gives the reason a test skips with before it builds its fixture;
// the makers then throw.

std::optional<std::string> why_no_fifos();
// A FIFO at `path`.
void make_fifo(const std::filesystem::path& path);

// A writer that comes to the FIFO at `path` only after `delay`, and then only once a reader has
// it open (it looks for one until a deadline of some seconds), writes `pieces` with `pause`
// between them and closes it: what a shell does with `sleep 1; cat m > quorvane.toml`, seen from
// the reader. It runs beside the test; `finished` waits for it and tells whether it wrote
// everything.
class LateFifoWriter {
 public:
  LateFifoWriter(const std::filesystem::path& path, std::vector<std::string> pieces,
                 std::chrono::milliseconds delay, std::chrono::milliseconds pause);
  ~LateFifoWriter();
  LateFifoWriter(const LateFifoWriter&) = delete;
  LateFifoWriter& operator=(const LateFifoWriter&) = delete;

  bool finished();

 private:
  bool wrote_all_ = false;  // before the thread, which sets it
  std::thread thread_;
};

std::optional<std::string> why_no_unix_sockets();
// A Unix stream socket bound at `path` while the object lives.
class BoundSocket {
 public:
  explicit BoundSocket(const std::filesystem::path& path);
  ~BoundSocket();
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;

 private:
  int fd_ = -1;
};

std::optional<std::string> why_descriptors_cannot_be_limited();
// Runs `body` with room for only `room` more open descriptors than the process has now, and
// restores the limit afterwards.
void run_with_descriptor_room(int room, const std::function<void()>& body);

}  // namespace quorvane::testing
