#include "platform/walk.hpp"

#include <variant>
#include <vector>

#include <fmt/format.h>

#include "platform/path_prefix.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

using win32::kShareAll;

struct Child {
  std::wstring name;
  EntryType type = EntryType::Other;
};

// A directory already listed and closed; its entries wait to be visited.
struct Frame {
  std::filesystem::path path;
  std::wstring system;  // its verbatim path, which its children's paths extend
  std::vector<Child> children;
  std::size_t next = 0;
};

// `os_text` is "<description> (os error N)".
WalkError io_error(const std::filesystem::path& path, std::string_view os_text) {
  return WalkError{path, fmt::format("IO error for operation on {}: {}",
                                     win32::to_utf8(path.native()), os_text)};
}

WalkError io_error(const std::filesystem::path& path, DWORD error) {
  return io_error(path, os_error_text(static_cast<int>(error)));
}

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

// `parent` and `name` joined into `joined` as the walk names its entries: "\" between them
// unless the parent already ends in a separator. `joined` is reused from entry to entry.
void child_path(const std::wstring& parent, const std::wstring& name, std::wstring& joined) {
  joined.assign(parent);
  if (joined.empty() || !is_windows_separator(joined.back())) joined += L'\\';
  joined += name;
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

// Reads every entry of the directory whose verbatim path is `system` and closes the listing
// before anything is descended, so the walk holds at most one listing open however deep the tree
// is. Gives NO_ERROR, or the error that stopped the listing (entries read before it are kept).
DWORD list_directory(const std::wstring& system, std::vector<Child>& children) {
  std::wstring pattern;
  child_path(system, L"*", pattern);
  WIN32_FIND_DATAW data;
  const FindHandle find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find.valid()) {
    const DWORD error = ::GetLastError();
    // Nothing matched: a directory without even "." and "..", as the top of a drive is.
    return error == ERROR_FILE_NOT_FOUND ? NO_ERROR : error;
  }
  do {
    if (is_dot_or_dot_dot(data.cFileName)) continue;
    // The tag is in dwReserved0 exactly when the entry is a reparse point.
    children.push_back(Child{data.cFileName, type_of(data.dwFileAttributes, data.dwReserved0)});
  } while (::FindNextFileW(find.get(), &data));
  const DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? NO_ERROR : error;
}

// Lists the directory `path` (verbatim: `system`) onto the stack, or reports why it cannot be
// listed.
void descend(const std::filesystem::path& path, std::wstring system, std::vector<Frame>& stack,
             const WalkVisitor& visitor) {
  Frame frame{path, std::move(system), {}, 0};
  const DWORD error = list_directory(frame.system, frame.children);
  if (error != NO_ERROR) visitor.on_error(io_error(path, error));
  if (!frame.children.empty()) stack.push_back(std::move(frame));
}

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

void walk_tree(const std::filesystem::path& start, const WalkVisitor& given) {
  // A caller may listen to entries only, or to errors only.
  const WalkVisitor visitor{
      given.on_entry ? given.on_entry : [](const WalkEntry&) {},
      given.on_error ? given.on_error : [](const WalkError&) {},
  };
  // The start's names are taken as written, and each child's path is its parent's verbatim path
  // and the name as listed: the system parses no name again, so it drops no trailing dot or space
  // and takes no con.rs for a device.
  Result<std::wstring> system = win32::verbatim_path(start);
  if (!system) {
    visitor.on_error(io_error(start, system.error()));
    return;
  }
  const std::variant<StartInfo, DWORD> looked = look_at_start(system.value());
  if (const DWORD* error = std::get_if<DWORD>(&looked)) {
    visitor.on_error(io_error(start, *error));
    return;
  }
  const StartInfo info = std::get<StartInfo>(looked);
  visitor.on_entry(WalkEntry{start.native(), info.type, &system.value()});
  if (!info.walk_contents) return;

  // An explicit stack instead of recursion: no depth limit from the call stack.
  std::vector<Frame> stack;
  descend(start, std::move(system).value(), stack, visitor);
  // Each entry's two paths are written into the same two texts, which stop growing once they
  // have held the longest paths.
  std::wstring path;
  std::wstring child_system;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.children.size()) {
      stack.pop_back();
      continue;
    }
    const Child& child = top.children[top.next++];
    child_path(top.path.native(), child.name, path);
    child_path(top.system, child.name, child_system);
    const EntryType type = child.type;
    visitor.on_entry(WalkEntry{path, type, &child_system});
    // `top` may move when the stack grows; nothing of it is used past this point.
    if (type == EntryType::Directory) {
      descend(std::filesystem::path(path), child_system, stack, visitor);
    }
  }
}

}  // namespace quorvane::platform
