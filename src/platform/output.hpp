#pragma once

#include <string_view>

namespace quorvane::platform {

// Writes all of `text` to standard output / standard error in as few writes as it takes.
// Returns false when the stream refuses (for example a closed pipe).
bool write_stdout(std::string_view text);
bool write_stderr(std::string_view text);

}  // namespace quorvane::platform
