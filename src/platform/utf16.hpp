#pragma once

#include <string>
#include <string_view>

namespace quorvane::platform {

// Conversions between UTF-16 (Windows's names, command line and console) and the UTF-8 the rest
// of the program handles. Pure functions, the same on every build, so that they are tested on
// each.

// UTF-16 as UTF-8, each unpaired surrogate becoming U+FFFD: names that the system allows but
// that no Unicode text can hold.
std::string utf16_to_utf8(std::u16string_view text);

// UTF-16 as UTF-8, except that an unpaired surrogate is encoded as the three bytes its value would
// take (not UTF-8, so a UTF-8 check refuses the text instead of seeing a U+FFFD that was never
// typed).
std::string utf16_to_utf8_keeping_surrogates(std::u16string_view text);

// UTF-8 as UTF-16, each invalid sequence becoming U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);

}  // namespace quorvane::platform
