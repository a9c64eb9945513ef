#include "platform/read_loop.hpp"

#include <algorithm>

namespace quorvane::platform {
namespace {

// Room added when a file turns out longer than it said, and the least a buffer starts with.
constexpr std::size_t kReadStep = 65536;

}  // namespace

Result<std::size_t> read_to_end(const ReadSome& read_some, std::optional<std::size_t> reported_size,
                                std::string& buffer) {
  // 0 says nothing: special files report it whatever they hold, and an empty file costs the
  // same one read either way.
  const std::size_t known_size = reported_size.value_or(0);
  // One byte beyond the size, so that the read which finds the end needs no growth.
  const std::size_t wanted = std::max(kReadStep, known_size + 1);
  // Only growth writes the buffer; a buffer kept from earlier files is reused as it stands.
  if (buffer.size() < wanted) buffer.resize(wanted);

  std::size_t length = 0;
  for (;;) {
    if (length == buffer.size()) buffer.resize(buffer.size() + std::max(kReadStep, length / 2));
    const std::size_t room = buffer.size() - length;
    ReadSomeOutcome outcome = read_some(buffer.data() + length, room);
    if (const auto* read = std::get_if<BytesRead>(&outcome)) {
      if (read->count == 0) break;
      length += read->count;
      // A short read is no end by itself. Once the file has given its size, though, a read short
      // of the room means there is no more, and the read that would give 0 is left out.
      if (known_size > 0 && length >= known_size && read->count < room) break;
      continue;
    }
    if (std::holds_alternative<NothingYet>(outcome)) break;
    return std::get<Failure>(std::move(outcome));
  }
  return length;
}

}  // namespace quorvane::platform
