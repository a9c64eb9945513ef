#pragma once

#include <optional>
#include <string>
#include <string_view>

// Runs write_stdout with standard output going into a pipe that this test reads, on either
// system: a forked child on POSIX, the test's own standard handle on Windows.
namespace quorvane::platform::testing {

enum class Reader {
  ReadsAllLate,        // starts once the pipe is full, then reads to the end
  LeavesAfterOneByte,  // starts once the pipe is full, reads one byte and closes its end
};
enum class Mode { Blocking, NonBlocking };

// What write_stdout returned, or Trouble when the harness itself failed.
enum class Outcome { Done, ReaderGone, Failed, Trouble };

struct Ending {
  Outcome outcome = Outcome::Trouble;
  std::string received;
};

// Writes `text` (and then `tail`, if given, through the two-piece write_stdout) into the pipe.
Ending write_through_pipe(std::string_view text, std::optional<std::string_view> tail,
                          Reader reader, Mode mode);

}  // namespace quorvane::platform::testing
