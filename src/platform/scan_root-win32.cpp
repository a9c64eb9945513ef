#include "platform/scan_root.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

// The name by which Windows looks up one name of a path: without the one trailing dot of a name
// that a separator follows, and without every trailing dot and space of the path's last name.
std::wstring_view looked_up_name(std::wstring_view name, bool last) {
  if (last) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  } else if (!name.empty() && name.back() == L'.') {
    name.remove_suffix(1);
  }
  return name;
}

// The directory `directory` (verbatim) and `name` below it.
std::wstring joined(std::wstring directory, std::wstring_view name) {
  if (directory.empty() || directory.back() != L'\\') directory += L'\\';
  directory += name;
  return directory;
}

// `directory` (verbatim) without its last name; the top of its drive or share stays.
std::wstring parent_of(std::wstring directory) {
  const std::size_t top = windows_path_prefix(std::wstring_view(directory)).length + 1;
  if (directory.size() <= top) return directory;
  const std::size_t last = directory.rfind(L'\\');
  directory.resize(last == std::wstring::npos || last < top ? top : last);
  return directory;
}

struct Listed {
  std::wstring name;
  bool directory = false;
};

// The entry `name` of the directory `directory` (verbatim), with its name as the directory lists
// it; none when there is no such entry, or when `name` is no name or a pattern.
std::optional<Listed> listed_entry(const std::wstring& directory, std::wstring_view name) {
  if (name.empty() || name == L"." || name == L".." ||
      name.find_first_of(L"*?<>\"") != std::wstring_view::npos) {
    return std::nullopt;
  }
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileExW(joined(directory, name).c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(find);
  return Listed{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

// `rest`, the names below the directory whose verbatim path is `system`, each name that names an
// entry spelled as listed, "." and ".." and the separators as written, and a last name that
// Windows trims to nothing left out. Windows resolves ".." by text, so it takes back the name
// before it whatever that names. A file holds nothing, so whatever follows the name of a file that
// the path ends in (".", a separator) is dropped.
std::wstring spelled(std::wstring_view rest, std::wstring system) {
  struct Named {
    std::size_t end;  // in the text, of the name
    bool directory;
  };
  std::wstring out;
  std::vector<Named> named;  // the names gone into and not yet taken back by ".."
  std::size_t pos = 0;
  while (pos < rest.size()) {
    std::size_t end = pos;
    while (end < rest.size() && !is_windows_separator(rest[end])) ++end;
    const std::wstring_view piece = rest.substr(pos, end - pos);
    if (piece == L"." || piece == L"..") {
      out += piece;
      if (piece == L"..") {
        system = parent_of(std::move(system));
        if (!named.empty()) named.pop_back();
      }
    } else if (!piece.empty()) {
      // Empty for a last name of only dots and spaces (" ", "...", ".. "): Windows drops that
      // name and opens what the separators before it end in, so it goes out as well.
      const std::wstring_view name = looked_up_name(piece, end == rest.size());
      if (std::optional<Listed> entry = listed_entry(system, name)) {
        out += entry->name;
        system = joined(std::move(system), entry->name);
        named.push_back({out.size(), entry->directory});
      } else if (!name.empty()) {
        out += piece;
        system = joined(std::move(system), name);
        named.push_back({out.size(), true});
      }
    }
    while (end < rest.size() && is_windows_separator(rest[end])) out += rest[end++];
    pos = end;
  }
  if (!named.empty() && !named.back().directory) out.resize(named.back().end);
  return out;
}

// What follows the names of `project` in `rest` (a path from the top of the drive, its leading
// separators taken off), when its first names are those of `project` as Windows finds names:
// whatever their case and without the dots and spaces it drops. None when they are not.
std::optional<std::wstring_view> below_project(std::wstring_view project, std::wstring_view rest) {
  project.remove_prefix(windows_path_prefix(project).length);
  std::size_t in_project = 0;
  std::size_t pos = 0;
  while (in_project < project.size()) {
    std::size_t project_end = in_project;
    while (project_end < project.size() && !is_windows_separator(project[project_end])) {
      ++project_end;
    }
    const std::wstring_view wanted = project.substr(in_project, project_end - in_project);
    in_project = project_end + 1;
    if (wanted.empty()) continue;
    // The next name of `rest`, past separators and "." names.
    std::wstring_view piece;
    std::size_t end = pos;
    while (piece.empty() && pos < rest.size()) {
      while (pos < rest.size() && is_windows_separator(rest[pos])) ++pos;
      end = pos;
      while (end < rest.size() && !is_windows_separator(rest[end])) ++end;
      piece = rest.substr(pos, end - pos);
      if (piece == L".") {
        piece = {};
        pos = end;
      }
    }
    if (piece.empty() || piece == L".." ||
        win32::compare_names(looked_up_name(piece, end == rest.size()), wanted) != 0) {
      return std::nullopt;
    }
    pos = end;
  }
  return rest.substr(pos);
}

}  // namespace

std::filesystem::path scan_root_start(const std::filesystem::path& project,
                                      const std::filesystem::path& root) {
  const std::wstring& base = project.native();
  std::wstring_view rest = root.native();
  std::wstring start;  // the directory below which `rest` names entries, as written
  const std::size_t after_separators = rest.find_first_not_of(L"/\\");
  if (!rest.empty() && after_separators != 0) {
    // From the top of the project's drive, as join_path takes it.
    rest.remove_prefix(after_separators == std::wstring_view::npos ? rest.size()
                                                                   : after_separators);
    if (const std::optional<std::wstring_view> below = below_project(base, rest)) {
      start = base;
      rest = *below;
    } else {
      start = base.substr(0, windows_path_prefix(std::wstring_view(base)).length) + L'\\';
    }
  } else {
    start = base;
    if (start.empty() || !is_windows_separator(start.back())) start += L'\\';
  }
  Result<std::wstring> system = win32::verbatim_path(std::filesystem::path(start));
  // No directory to look names up in (a NUL in the project's path): the root as written.
  if (!system) return join_path(project, path_bytes(root));
  start += spelled(rest, std::move(system).value());
  return std::filesystem::path(std::move(start));
}

}  // namespace quorvane::platform
