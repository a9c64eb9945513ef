#pragma once

#include <string_view>

namespace quorvane::testing {

// What the program prints on standard error, with status 2, for an argument that is not valid
// Unicode text: bytes that are not UTF-8 on POSIX, an unpaired surrogate on Windows.
inline constexpr std::string_view kInvalidArgumentReport =
    "error: invalid UTF-8 was detected in one or more arguments\n"
    "\n"
    "Usage: quorvane <COMMAND>\n"
    "\n"
    "For more information, try '--help'.\n";

}  // namespace quorvane::testing
