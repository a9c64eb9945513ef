#include "lint/title_checks.hpp"

#include <fmt/format.h>

#include "lint/upper_case.hpp"
#include "support/text.hpp"

namespace quorvane {

namespace {

constexpr std::string_view kPlaceholderMarkers[] = {"TBD", "TODO", "FIXME", "XXX"};
// The last is U+2026 HORIZONTAL ELLIPSIS.
constexpr std::string_view kIncompleteSuffixes[] = {"etc.", "etc", "...", "…"};

}  // namespace

std::size_t count_title_words(std::string_view title) {
  std::size_t words = 0;
  bool in_word = false;
  std::size_t pos = 0;
  while (pos < title.size()) {
    // An undecodable byte is no white space, so it belongs to a word.
    const std::optional<char32_t> c = decode_utf8_at(title, pos);
    const bool space = c && is_unicode_whitespace(*c);
    if (!space && !in_word) ++words;
    in_word = !space;
  }
  return words;
}

std::string unicode_upper(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Titles are checked as UTF-8 when the manifest loads; should invalid bytes arrive anyway,
    // each maximal invalid sequence becomes U+FFFD, as ICU's conversion from UTF-8 gives.
    const std::optional<char32_t> c = decode_utf8_at(text, pos);
    append_upper_case(out, c.value_or(U'\uFFFD'));
  }
  return out;
}

std::optional<std::string> check_length(std::string_view title) {
  const std::size_t words = count_title_words(title);
  if (words < kMinTitleWords) {
    return fmt::format("title is {} word(s); want {}..={}", words, kMinTitleWords, kMaxTitleWords);
  }
  if (words > kMaxTitleWords) {
    return fmt::format("title is {} words; want {}..={}", words, kMinTitleWords, kMaxTitleWords);
  }
  return std::nullopt;
}

std::optional<std::string> check_contains_and(std::string_view title) {
  if (ascii_lower(title).find(" and ") == std::string::npos) return std::nullopt;
  return std::string("title contains ' and ' — may smuggle multiple capabilities");
}

std::optional<std::string> check_placeholder(std::string_view title) {
  const std::string upper = unicode_upper(title);
  for (std::string_view marker : kPlaceholderMarkers) {
    if (upper.find(marker) != std::string::npos) {
      return fmt::format("title contains placeholder marker '{}'", marker);
    }
  }
  return std::nullopt;
}

std::optional<std::string> check_trailing_etc(std::string_view title) {
  const std::string lowered = ascii_lower(trim_unicode_whitespace_end(title));
  for (std::string_view suffix : kIncompleteSuffixes) {
    if (std::string_view(lowered).ends_with(suffix)) {
      return fmt::format("title ends with '{}' — signals incompleteness", suffix);
    }
  }
  return std::nullopt;
}

}  // namespace quorvane
