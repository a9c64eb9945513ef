#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// True for the characters of the Unicode White_Space property.
bool is_unicode_whitespace(char32_t c);

// Decodes the UTF-8 character at `pos`; returns it and advances `pos`. On an invalid sequence
// returns nullopt and advances `pos` past the maximal invalid subpart (as U+FFFD replacement does).
std::optional<char32_t> decode_utf8_at(std::string_view text, std::size_t& pos);

// Bytes as UTF-8 with each invalid sequence replaced by U+FFFD.
std::string decode_utf8_lossy(std::string_view bytes);

void append_utf8(std::string& out, char32_t c);

// Unicode white space removed at both ends (the text must be valid UTF-8).
std::string_view trim_unicode_whitespace(std::string_view text);
// Unicode white space removed at the end only.
std::string_view trim_unicode_whitespace_end(std::string_view text);
bool is_blank(std::string_view text);

// A..Z lowered to a..z; every other byte unchanged.
std::string ascii_lower(std::string_view text);

}  // namespace quorvane
