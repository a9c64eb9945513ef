#pragma once

#include <string>
#include <vector>

namespace quorvane::platform {

// The program's arguments, the program path first, as bytes for the parser: argv itself on
// POSIX; on Windows the UTF-16 command line converted to UTF-8, where an unpaired surrogate
// becomes bytes that are not UTF-8, so the parser refuses it as it refuses such bytes on POSIX.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace quorvane::platform
