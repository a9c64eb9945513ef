#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Names of the title checks as findings carry them in `criterion`.

inline constexpr std::string_view kLengthCheck = "length";
inline constexpr std::string_view kContainsAndCheck = "contains-and";
inline constexpr std::string_view kPlaceholderCheck = "tbd-todo";
inline constexpr std::string_view kTrailingEtcCheck = "trailing-etc";
inline constexpr std::string_view kDuplicateCheck = "duplicate-titles";

inline constexpr std::size_t kMinTitleWords = 3;
inline constexpr std::size_t kMaxTitleWords = 25;

// Maximal runs of characters without the Unicode White_Space property.
std::size_t count_title_words(std::string_view title);

// The full Unicode upper-case mapping (one character may become several), root locale. Each
// maximal invalid UTF-8 sequence becomes U+FFFD.
std::string unicode_upper(std::string_view text);

// The per-title checks, in the order they run for one requirement. Each returns the finding's
// message when the title fails it.
std::optional<std::string> check_length(std::string_view title);
std::optional<std::string> check_contains_and(std::string_view title);
std::optional<std::string> check_placeholder(std::string_view title);
std::optional<std::string> check_trailing_etc(std::string_view title);

}  // namespace quorvane
