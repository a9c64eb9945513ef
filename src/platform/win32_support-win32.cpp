#include "platform/win32_support.hpp"

#include <algorithm>
#include <vector>

#include "platform/path_prefix.hpp"
#include "platform/win32_process_rules.hpp"

namespace quorvane::platform::win32 {
namespace {

constexpr std::wstring_view kVerbatim = L"\\\\?\\";
constexpr std::wstring_view kVerbatimUnc = L"\\\\?\\UNC\\";

// The system's own absolute form of a plain path.
Result<std::wstring> full_path_name(const std::wstring& path) {
  std::optional<std::wstring> full = grown_text([&](wchar_t* buffer, DWORD size) {
    return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
  });
  if (!full) return Failure{last_error_text()};
  return std::move(*full);
}

// `prefix` followed by the names of `rest`, "." dropped and ".." taking back the name before it
// (never the prefix or the root), joined with "\".
std::wstring resolve_by_text(std::wstring_view prefix, std::wstring_view rest) {
  std::vector<std::wstring_view> names;
  const bool rooted = !rest.empty() && is_windows_separator(rest.front());
  std::size_t pos = 0;
  while (pos < rest.size()) {
    std::size_t end = pos;
    while (end < rest.size() && !is_windows_separator(rest[end])) ++end;
    const std::wstring_view name = rest.substr(pos, end - pos);
    pos = end + 1;
    if (name.empty() || name == L".") continue;
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::wstring out(prefix);
  if (rooted || !names.empty()) out += L'\\';
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += L'\\';
    out += names[i];
  }
  return out;
}

// The system's form of a path that the system does not parse: a verbatim path with its "." and
// ".." resolved by text and "/" turned into "\\", a device path as it is; a path with a NUL
// refused, as the system would stop at the NUL and name a shorter path than the one asked for.
// None for a plain path.
std::optional<Result<std::wstring>> unparsed_form(const std::wstring& text) {
  if (text.find(L'\0') != std::wstring::npos) {
    return Result<std::wstring>(Failure{os_error_text(ERROR_INVALID_NAME)});
  }
  const PathPrefix given = windows_path_prefix(std::wstring_view(text));
  switch (given.kind) {
    case PrefixKind::VerbatimDisk:
    case PrefixKind::VerbatimUnc:
    case PrefixKind::Verbatim:
      return Result<std::wstring>(resolve_by_text(std::wstring_view(text).substr(0, given.length),
                                                  std::wstring_view(text).substr(given.length)));
    case PrefixKind::Device:
      return Result<std::wstring>(text);
    default:
      return std::nullopt;
  }
}

// The verbatim form of an absolute plain path (a drive and its root, or a share), its names as
// written; none for any other path.
std::optional<std::wstring> verbatim_of_absolute(std::wstring_view text) {
  const PathPrefix prefix = windows_path_prefix(text);
  const std::wstring_view rest = text.substr(prefix.length);
  if (prefix.kind == PrefixKind::Disk && !rest.empty() && is_windows_separator(rest.front())) {
    return resolve_by_text(std::wstring(kVerbatim) + std::wstring(text.substr(0, 2)), rest);
  }
  if (prefix.kind == PrefixKind::Unc) {
    std::wstring share(text.substr(2, prefix.length - 2));
    std::replace(share.begin(), share.end(), L'/', L'\\');
    return resolve_by_text(std::wstring(kVerbatimUnc) + share, rest);
  }
  return std::nullopt;
}

}  // namespace

int compare_names(std::u16string_view a, std::u16string_view b) {
  // CompareStringOrdinal's result is CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN (1, 2, 3).
  return ::CompareStringOrdinal(
             reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
             reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()), TRUE) -
         CSTR_EQUAL;
}

std::optional<std::wstring> environment_value(const std::wstring& name) {
  std::optional<std::wstring> value = grown_text([&](wchar_t* buffer, DWORD size) {
    return ::GetEnvironmentVariableW(name.c_str(), buffer, size);
  });
  // An empty value also gives 0; only a missing variable sets the error.
  if (!value && ::GetLastError() == ERROR_SUCCESS) return std::wstring();
  return value;
}

Result<std::wstring> system_path(const std::filesystem::path& path) {
  const std::wstring& text = path.native();
  if (std::optional<Result<std::wstring>> form = unparsed_form(text)) return std::move(*form);
  Result<std::wstring> full = full_path_name(text);
  if (!full) return full;
  const std::wstring& absolute = full.value();
  switch (windows_path_prefix(std::wstring_view(absolute)).kind) {
    case PrefixKind::Disk:
      return std::wstring(kVerbatim) + absolute;
    case PrefixKind::Unc:
      return std::wstring(kVerbatimUnc) + absolute.substr(2);
    default:
      // Already a device or verbatim name (NUL became \\.\NUL).
      return full;
  }
}

Result<std::wstring> verbatim_path(const std::filesystem::path& path) {
  const std::wstring& text = path.native();
  if (std::optional<Result<std::wstring>> form = unparsed_form(text)) return std::move(*form);
  const PathPrefix given = windows_path_prefix(std::wstring_view(text));
  if (std::optional<std::wstring> verbatim = verbatim_of_absolute(text)) {
    return std::move(*verbatim);
  }
  // The directory the system starts such a path from: the current one ("."), the top of the
  // current drive ("\\"), or the current directory of the drive named ("C:").
  const bool rooted = !text.empty() && is_windows_separator(text.front());
  const std::wstring anchor =
      given.kind == PrefixKind::Disk ? text.substr(0, 2) : std::wstring(rooted ? L"\\" : L".");
  Result<std::wstring> base = full_path_name(anchor);
  if (!base) return base;
  std::wstring absolute = std::move(base).value();
  if (rooted) {
    absolute.resize(windows_path_prefix(std::wstring_view(absolute)).length);
    absolute += text;
  } else {
    absolute += L'\\';
    absolute += std::wstring_view(text).substr(given.length);
  }
  if (std::optional<std::wstring> verbatim = verbatim_of_absolute(absolute)) {
    return std::move(*verbatim);
  }
  return system_path(std::filesystem::path(std::move(absolute)));
}

std::u16string child_environment(const EnvironmentChange& change) {
  std::vector<std::u16string> entries;
  if (wchar_t* const strings = ::GetEnvironmentStringsW()) {
    // The block ends with an empty string: two zeros in a row.
    std::size_t length = 0;
    while (strings[length] != L'\0' || strings[length + 1] != L'\0') ++length;
    entries = environment_entries(
        std::u16string_view(reinterpret_cast<const char16_t*>(strings), length + 1));
    ::FreeEnvironmentStringsW(strings);
  }
  return environment_block(std::move(entries), change, compare_names);
}

}  // namespace quorvane::platform::win32
