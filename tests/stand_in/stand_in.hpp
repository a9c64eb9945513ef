#pragma once

// The stand-in child program of the process tests, and what the tests need to read its output.
//
// It carries out the actions named by its arguments, in order, and then exits with status 0
// unless an action set another:
//   --stdout=TEXT, --stderr=TEXT          write TEXT
//   --stdout-hex=HEX, --stderr-hex=HEX    write the bytes spelled in hexadecimal
//   --stdout-bytes=N, --stderr-bytes=N    write N bytes of pattern(N)
//   --args                                write each argument after this one, each ended by a
//                                         zero byte; they are data, not actions
//   --env=NAME                            write "set:VALUE" or "unset", ended by a zero byte
//   --env-all                             write each entry of its environment, "NAME=value",
//                                         each ended by a zero byte
//   --stdin                               read standard input to its end and write what it is:
//                                         "null device, N bytes\n" or "other input, N bytes\n"
//   --self                                write the path of its own program file
//   --write-handle=N                      write one byte to inherited handle (descriptor) N, and
//                                         "written\n" or "not written\n" to standard output
//   --exit=N                              end with status N
// An unknown action ends it at once with status 120 and a line on standard error.
//
// When the variable QUORVANE_STAND_IN_ACTIONS is set, its lines are the actions, and every
// argument is data for --args: so the stand-in can pose as a program that is called with
// arguments of its own, such as git.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing::stand_in {

inline constexpr const char* kActionsVariable = "QUORVANE_STAND_IN_ACTIONS";
inline constexpr int kUnknownActionStatus = 120;

// The bytes of --stdout-bytes and --stderr-bytes: every byte value but a few, repeating with a
// period that no pipe's buffer size is a multiple of, so that a piece lost, repeated or taken
// out of order shows.
inline std::string pattern(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// The records of --args and --env-all: the texts before each zero byte.
inline std::vector<std::string> records(std::string_view output) {
  std::vector<std::string> texts;
  std::size_t start = 0;
  for (std::size_t end = output.find('\0'); end != std::string_view::npos;
       end = output.find('\0', start)) {
    texts.emplace_back(output.substr(start, end - start));
    start = end + 1;
  }
  return texts;
}

}  // namespace quorvane::testing::stand_in
