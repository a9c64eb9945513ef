#include "platform/win32_process_rules.hpp"

#include <algorithm>
#include <utility>

#include "platform/path_prefix.hpp"
#include "platform/separated_list.hpp"
#include "platform/utf16.hpp"

namespace quorvane::platform::win32 {
namespace {

char16_t ascii_lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool equal_ascii_ignoring_case(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return ascii_lower(x) == ascii_lower(y); });
}

// "C:\x", "C:/x", "\\server\share" and "//server/share": a folder that names its drive or
// server, so that it does not depend on the current folder or drive.
bool is_fully_qualified(std::u16string_view folder) {
  if (folder.size() >= 3 && folder[1] == u':' && is_windows_separator(folder[2])) {
    const char16_t drive = ascii_lower(folder[0]);
    return drive >= u'a' && drive <= u'z';
  }
  return folder.size() >= 2 && is_windows_separator(folder[0]) && is_windows_separator(folder[1]);
}

// The extensions to add to a bare name, as PATHEXT spells them, each once.
std::vector<std::u16string> startable_extensions(std::u16string_view pathext) {
  std::vector<std::u16string> extensions;
  for (const std::u16string_view extension : separated_parts(pathext, u';')) {
    const bool startable = equal_ascii_ignoring_case(extension, u".com") ||
                           equal_ascii_ignoring_case(extension, u".exe");
    const bool seen = std::ranges::any_of(extensions, [&](const std::u16string& known) {
      return equal_ascii_ignoring_case(known, extension);
    });
    if (startable && !seen) extensions.emplace_back(extension);
  }
  const bool blank = pathext.find_first_not_of(u"; ") == std::u16string_view::npos;
  if (extensions.empty() && blank) extensions = {u".COM", u".EXE"};
  return extensions;
}

}  // namespace

void append_quoted_argument(std::u16string& line, std::u16string_view argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == std::u16string_view::npos) {
    line += argument;
    return;
  }
  line += u'"';
  std::size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes stand for themselves unless a quote follows them.
    line.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, u'\\');
  line += u'"';
}

std::u16string command_line(std::u16string_view program,
                            const std::vector<std::string>& arguments) {
  std::u16string line;
  line += u'"';
  line += program;
  line += u'"';
  for (const std::string& argument : arguments) {
    line += u' ';
    append_quoted_argument(line, utf8_to_utf16(argument));
  }
  return line;
}

bool names_a_path(std::u16string_view program) {
  return program.find_first_of(u"\\/:") != std::u16string_view::npos;
}

std::vector<std::u16string> path_candidates(std::u16string_view name, std::u16string_view path,
                                            std::u16string_view pathext) {
  if (name.empty()) return {};
  std::vector<std::u16string> suffixes;
  if (name.find(u'.') == std::u16string_view::npos) {
    suffixes = startable_extensions(pathext);
  } else {
    suffixes = {u""};
  }
  std::vector<std::u16string> candidates;
  for (const std::u16string_view entry : separated_parts(path, u';')) {
    std::u16string folder(entry);
    std::erase(folder, u'"');
    if (!is_fully_qualified(folder)) continue;
    if (!is_windows_separator(folder.back())) folder += u'\\';
    for (const std::u16string& suffix : suffixes) {
      candidates.push_back(folder + std::u16string(name) + suffix);
    }
  }
  return candidates;
}

bool runs_through_command_interpreter(std::u16string_view file) {
  const std::size_t end = file.find_last_not_of(u". ");
  if (end == std::u16string_view::npos) return false;
  const std::u16string_view trimmed = file.substr(0, end + 1);
  if (trimmed.size() < 4) return false;
  const std::u16string_view extension = trimmed.substr(trimmed.size() - 4);
  return equal_ascii_ignoring_case(extension, u".bat") ||
         equal_ascii_ignoring_case(extension, u".cmd");
}

std::vector<std::u16string> environment_entries(std::u16string_view block) {
  std::vector<std::u16string> entries;
  for (const std::u16string_view entry : separated_parts(block, u'\0')) {
    if (!entry.empty()) entries.emplace_back(entry);
  }
  return entries;
}

std::u16string_view environment_name(std::u16string_view entry) {
  return entry.substr(0, entry.find(u'=', 1));
}

std::u16string environment_block(std::vector<std::u16string> entries,
                                 const EnvironmentChange& change, NameComparison compare) {
  std::vector<std::u16string> changed_names;
  for (const std::string& name : change.remove) changed_names.push_back(utf8_to_utf16(name));
  for (const auto& variable : change.set) changed_names.push_back(utf8_to_utf16(variable.first));
  std::erase_if(entries, [&](const std::u16string& entry) {
    return std::ranges::any_of(changed_names, [&](const std::u16string& name) {
      return compare(environment_name(entry), name) == 0;
    });
  });

  std::vector<std::u16string> added;
  for (const auto& [name, value] : change.set) {
    const std::u16string wide_name = utf8_to_utf16(name);
    std::erase_if(added, [&](const std::u16string& entry) {
      return compare(environment_name(entry), wide_name) == 0;
    });
    added.push_back(wide_name + u"=" + utf8_to_utf16(value));
  }
  entries.insert(entries.end(), std::make_move_iterator(added.begin()),
                 std::make_move_iterator(added.end()));

  std::ranges::stable_sort(entries, [&](const std::u16string& a, const std::u16string& b) {
    return compare(environment_name(a), environment_name(b)) < 0;
  });
  std::u16string block;
  for (const std::u16string& entry : entries) {
    block += entry;
    block += u'\0';
  }
  // An empty block is still two zeros: the end of the last (empty) entry and of the block.
  if (entries.empty()) block += u'\0';
  block += u'\0';
  return block;
}

}  // namespace quorvane::platform::win32
