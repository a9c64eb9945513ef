#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane::platform {

// The prefix of a path by the Windows rule, as a pure text test that every build can run (the
// scan roots follow the Windows rule on every system). Templated so that the Windows code reads
// its UTF-16 paths with the same rule as the rest reads UTF-8 text.
enum class PrefixKind {
  None,
  Disk,          // C:
  VerbatimDisk,  // \\?\C:
  Unc,           // \\server\share
  VerbatimUnc,   // \\?\UNC\server\share
  Verbatim,      // \\?\anything up to the next "\"
  Device,        // \\.\name
};

struct PathPrefix {
  PrefixKind kind = PrefixKind::None;
  std::size_t length = 0;  // of the prefix text, 0 for None
};

template <class Char>
constexpr bool is_windows_separator(Char c) {
  return c == Char('\\') || c == Char('/');
}

namespace detail {

template <class Char>
constexpr bool is_ascii_letter(Char c) {
  return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

// The length of the component at the front of `text`, up to the next separator; in a verbatim
// path only "\" separates.
template <class Char>
constexpr std::size_t component_length(std::basic_string_view<Char> text, bool verbatim) {
  std::size_t n = 0;
  while (n < text.size() && !(verbatim ? text[n] == Char('\\') : is_windows_separator(text[n]))) {
    ++n;
  }
  return n;
}

// "server\share" at the front of `text`, both non-empty for a plain UNC prefix; gives its length
// or 0.
template <class Char>
constexpr std::size_t share_length(std::basic_string_view<Char> text, bool verbatim) {
  const std::size_t server = component_length(text, verbatim);
  if (server == text.size()) return verbatim ? server : 0;
  const std::size_t share = component_length(text.substr(server + 1), verbatim);
  if (!verbatim && (server == 0 || share == 0)) return 0;
  return server + 1 + share;
}

}  // namespace detail

template <class Char>
constexpr PathPrefix windows_path_prefix(std::basic_string_view<Char> path) {
  using detail::component_length;
  using detail::is_ascii_letter;
  if (path.size() < 2) return {};
  if (is_ascii_letter(path[0]) && path[1] == Char(':')) return {PrefixKind::Disk, 2};
  if (!is_windows_separator(path[0]) || !is_windows_separator(path[1])) return {};
  // The verbatim form is recognised only with backslashes: its meaning depends on them.
  if (path.size() >= 4 && path[0] == Char('\\') && path[1] == Char('\\') && path[2] == Char('?') &&
      path[3] == Char('\\')) {
    const std::basic_string_view<Char> rest = path.substr(4);
    if (rest.size() >= 4 && rest[0] == Char('U') && rest[1] == Char('N') && rest[2] == Char('C') &&
        rest[3] == Char('\\')) {
      return {PrefixKind::VerbatimUnc, 8 + detail::share_length(rest.substr(4), true)};
    }
    if (rest.size() >= 2 && is_ascii_letter(rest[0]) && rest[1] == Char(':') &&
        (rest.size() == 2 || rest[2] == Char('\\'))) {
      return {PrefixKind::VerbatimDisk, 6};
    }
    return {PrefixKind::Verbatim, 4 + component_length(rest, true)};
  }
  const std::basic_string_view<Char> rest = path.substr(2);
  if (rest.size() >= 2 && rest[0] == Char('.') && is_windows_separator(rest[1])) {
    return {PrefixKind::Device, 4 + component_length(rest.substr(2), false)};
  }
  const std::size_t share = detail::share_length(rest, false);
  if (share == 0) return {};
  return {PrefixKind::Unc, 2 + share};
}

}  // namespace quorvane::platform
