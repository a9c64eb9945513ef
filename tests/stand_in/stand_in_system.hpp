#pragma once

// What the stand-in asks of the system it runs on; each system's file starts the program, turns
// its arguments into UTF-8 and calls run().

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing::stand_in {

// Carries out the actions of `arguments` (the program name not among them); the exit status.
int run(const std::vector<std::string>& arguments);

enum class Stream { Out, Err };

// Writes all of `bytes`, unchanged; false when a write fails.
bool write_all(Stream stream, std::string_view bytes);

// Reads standard input to its end: whether it is the null device, and how many bytes came.
struct InputReport {
  bool null_device = false;
  std::size_t bytes = 0;
};
InputReport read_input();


// Writes one byte to the handle (POSIX: descriptor) whose number `handle` spells in decimal;
// whether it went.
bool write_to_handle(const std::string& handle);

}  // namespace quorvane::testing::stand_in
