#include <stdexcept>

#include "helpers/posix_fixtures.hpp"

namespace quorvane::testing {
namespace {

[[noreturn]] void unavailable(const std::string& reason) {
  throw std::runtime_error(reason);
}

}  // namespace

std::optional<std::string> why_no_fifos() {
  return "Windows has no FIFOs in the file system (its named pipes live outside the folders)";
}

void make_fifo(const std::filesystem::path&) {
  unavailable(*why_no_fifos());
}

LateFifoWriter::LateFifoWriter(const std::filesystem::path&, std::vector<std::string>,
                               std::chrono::milliseconds, std::chrono::milliseconds) {
  unavailable(*why_no_fifos());
}

LateFifoWriter::~LateFifoWriter() = default;

bool LateFifoWriter::finished() {
  return false;
}

std::optional<std::string> why_no_unix_sockets() {
  return "the Windows tests bind no AF_UNIX sockets: wine, which runs them, has none";
}

BoundSocket::BoundSocket(const std::filesystem::path&) {
  unavailable(*why_no_unix_sockets());
}

BoundSocket::~BoundSocket() = default;

std::optional<std::string> why_descriptors_cannot_be_limited() {
  return "Windows has no limit on open handles that a test could tighten";
}

void run_with_descriptor_room(int, const std::function<void()>&) {
  unavailable(*why_descriptors_cannot_be_limited());
}

}  // namespace quorvane::testing
