#pragma once

#include <string_view>

namespace quorvane::platform {

// Writes all of `text` to standard output / standard error in as few writes as it takes.
// Returns false when the stream refuses (for example a closed pipe).
bool write_stdout(std::string_view text);
// `text` and then `tail`, as one piece where the system takes both at once, without joining
// them in memory first.
bool write_stdout(std::string_view text, std::string_view tail);
bool write_stderr(std::string_view text);

}  // namespace quorvane::platform
