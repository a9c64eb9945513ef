#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "platform/paths.hpp"
#include "support/result.hpp"

namespace quorvane::platform {

// What one read from an open file gave.
struct BytesRead {
  std::size_t count;  // 0 only at the end of the file
};
// Nothing to read for now: a pipe whose writer is idle. What arrived so far is all there is.
struct NothingYet {};
using ReadSomeOutcome = std::variant<BytesRead, NothingYet, Failure>;

// One read of at most `room` bytes into `into`. It may give less than asked at any time (the
// system's limit per call, a network file system) without being at the end; an interruption is
// retried inside and never shows here. A failure is "<description> (os error N)".
using ReadSome = std::function<ReadSomeOutcome(char* into, std::size_t room)>;

// Reads a file through `read_some` until it is whole, into the front of `buffer`, and gives its
// length; `buffer` grows when it is too small and may be left longer than the content.
// `reported_size` is the size the system gave for the file before the read, or none when it
// says nothing (a pipe); a size of 0 says nothing either, since special files report it whatever
// they hold. A file with a size is whole once it has given that many bytes and a read came back
// short of the room offered, which costs one read for an ordinary file; short of its size, it is
// read until a read gives 0. A file that grows meanwhile gives what arrived; one that shrinks
// ends where its data ends. Shared by every system's reader: each brings its own `read_some`.
Result<std::size_t> read_to_end(const ReadSome& read_some, std::optional<std::size_t> reported_size,
                                std::string& buffer);

// Everything the file at `path` holds, read through read_to_end into the front of `buffer`;
// gives its length. Each system opens and reads the file its own way; the UTF-8 check that
// read_utf8_file adds is shared.
Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer);
Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer);

}  // namespace quorvane::platform
