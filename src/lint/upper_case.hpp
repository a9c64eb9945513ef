#pragma once

#include <string>

namespace quorvane {

// Appends the full upper-case form of `c` in the root locale, as UTF-8: one to three code points.
// `c` must be a Unicode scalar value.
void append_upper_case(std::string& out, char32_t c);

}  // namespace quorvane
