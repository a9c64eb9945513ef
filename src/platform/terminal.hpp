#pragma once

namespace quorvane::platform {

enum class Stream { Out, Err };

bool is_terminal(Stream stream);

// Readies `stream` for text with colour escapes, and tells whether it can show them. Terminals
// take them as they are; a Windows console is switched to reading them as escapes, and one that
// cannot be answers false. Files and pipes take the escapes as bytes (colour may be forced).
bool prepare_for_colour(Stream stream);

}  // namespace quorvane::platform
