#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane::platform {

// How many bytes from the start of `text`, at most `limit`, can be converted on their own: the
// count ends where a character begins, so that no character is split between two conversions
// (which would show it as two replacement characters). A character that the end of `text` cuts
// short is left out as well, for the caller to join with the bytes that follow it. Invalid bytes
// are counted like characters: they convert to the same replacement either way.
std::size_t whole_characters_length(std::string_view text, std::size_t limit);

}  // namespace quorvane::platform
