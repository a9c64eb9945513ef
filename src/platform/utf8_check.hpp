#pragma once

#include <string_view>

namespace quorvane::platform {

// Whether `text` is UTF-8 throughout. Source text is mostly ASCII, which the check passes over
// many bytes at a time (byte_blocks.hpp); it lives in this folder with those blocks, above the
// other UTF-8 helpers (support/text.hpp) that it is built on.
bool is_valid_utf8(std::string_view text);

}  // namespace quorvane::platform
