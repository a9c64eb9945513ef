#include "platform/directory_listing.hpp"

#include <string>
#include <variant>

#include "platform/path_prefix.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

using win32::kShareAll;

// A symbolic link or a junction is a link. So is a reparse point whose tag is not given (no tag
// is 0 on Windows; wine reports a Unix symbolic link to a directory that way): following what
// cannot be told apart from a link could lead out of the tree or round in a loop. Other reparse
// points (cloud files, deduplicated files) are what their attributes say.
EntryType type_of(DWORD attributes, DWORD reparse_tag) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      (reparse_tag == IO_REPARSE_TAG_SYMLINK || reparse_tag == IO_REPARSE_TAG_MOUNT_POINT ||
       reparse_tag == 0)) {
    return EntryType::Symlink;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryType::Directory;
  return EntryType::Other;
}

bool is_dot_or_dot_dot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) ::FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

struct StartInfo {
  EntryType type = EntryType::Other;
  bool walk_contents = false;
};

// The start's own type, the link not followed, and whether its contents are walked: a directory
// is, and a link is followed to see whether it leads to one.
std::variant<StartInfo, DWORD> look_at_start(const std::wstring& system) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(system.c_str(), GetFileExInfoStandard, &data)) {
    return ::GetLastError();
  }
  DWORD tag = 0;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const win32::OwnedHandle link(
        ::CreateFileW(system.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link.valid()) return ::GetLastError();
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (::GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &info, sizeof info)) {
      tag = info.ReparseTag;
    }
  }
  const EntryType type = type_of(data.dwFileAttributes, tag);
  if (type != EntryType::Symlink) return StartInfo{type, type == EntryType::Directory};
  // The start itself is followed; a link that leads nowhere names no existing start.
  const win32::OwnedHandle target(::CreateFileW(system.c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                nullptr));
  if (!target.valid()) return ::GetLastError();
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(target.get(), &info)) return ::GetLastError();
  return StartInfo{type, (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

}  // namespace

// The start's names are taken as written, and the walk opens each entry by its parent's verbatim
// path and its name as listed: the system parses no name again, so it drops no trailing dot or
// space and takes no con.rs for a device.
Result<WalkStart> look_at_walk_start(const std::filesystem::path& start) {
  Result<std::wstring> system = win32::verbatim_path(start);
  if (!system) return std::move(system).take_failure();
  const std::variant<StartInfo, DWORD> looked = look_at_start(system.value());
  if (const DWORD* error = std::get_if<DWORD>(&looked)) {
    return Failure{os_error_text(static_cast<int>(*error))};
  }
  const StartInfo info = std::get<StartInfo>(looked);
  return WalkStart{info.type, info.walk_contents, std::move(system).value()};
}

int list_directory(const NativePath& path, DirectoryEntries& into) {
  std::wstring pattern(path);
  if (pattern.empty() || !is_windows_separator(pattern.back())) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const FindHandle find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find.valid()) {
    const DWORD error = ::GetLastError();
    // Nothing matched: a directory without even "." and "..", as the top of a drive is.
    return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(error);
  }
  do {
    if (is_dot_or_dot_dot(data.cFileName)) continue;
    const NativeName name(data.cFileName);
    // The tag is in dwReserved0 exactly when the entry is a reparse point.
    into.entries.push_back(ListedEntry{into.names.size(), name.size(),
                                       type_of(data.dwFileAttributes, data.dwReserved0), 0});
    into.names.append(name);
  } while (::FindNextFileW(find.get(), &data));
  const DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? 0 : static_cast<int>(error);
}

}  // namespace quorvane::platform
