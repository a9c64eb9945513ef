#pragma once

#include <string>

#include "helpers/temp_project.hpp"

namespace quorvane::testing {

// run_process with a command line handed to CreateProcessW exactly as given (its first word
// names the program, as the child sees it): for tests of how a child takes apart a command line
// that the usual quoting would never write, such as one holding an unpaired surrogate.
ProcessResult run_command_line(const std::string& program, std::wstring command_line,
                               const RunOptions& options);

}  // namespace quorvane::testing
