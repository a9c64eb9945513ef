#pragma once

#include <string_view>

namespace quorvane {

// Ends the process with status 101 when a rule that validation guarantees is broken.
// No input can reach it; it exists so that a bug stops loudly instead of reporting wrong data.
[[noreturn]] void invariant_broken(std::string_view rule);

}  // namespace quorvane
