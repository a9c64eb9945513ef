#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace quorvane::platform {

// What became of a write to standard output.
struct WriteDone {};
// The reader went away (a pipe into `head` that has had enough). Nothing more can reach it, and
// nobody is left to be told.
struct WriteReaderGone {};
struct WriteFailed {
  std::string message;  // "<description> (os error N)"
};
using WriteResult = std::variant<WriteDone, WriteReaderGone, WriteFailed>;

// Makes a write into a pipe without a reader come back as WriteReaderGone instead of ending the
// process by a signal. Called once at start-up, before any output; child processes still start
// with the system's default for that signal. Nothing to do where the system has no such signal.
void ignore_broken_pipe_signal();

// Writes all of `text` to standard output in as few writes as it takes, waiting for room when
// the stream is non-blocking. A failure part way leaves the rest unwritten.
[[nodiscard]] WriteResult write_stdout(std::string_view text);
// `text` and then `tail`, as one piece where the system takes both at once, without joining
// them in memory first.
[[nodiscard]] WriteResult write_stdout(std::string_view text, std::string_view tail);

// Writes all of `text` to standard error. A failure is dropped: there is nowhere left to tell.
void write_stderr(std::string_view text);

}  // namespace quorvane::platform
