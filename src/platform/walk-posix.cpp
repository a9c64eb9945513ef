#include "platform/walk.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "platform/os_error.hpp"
#include "support/text.hpp"

namespace quorvane::platform {
namespace {

struct Child {
  std::size_t name_start;  // the name is names[name_start, name_start + name_size) of its frame
  std::size_t name_size;
  EntryType type = EntryType::Other;
  int stat_error = 0;  // errno of a failed lstat of an entry whose type the listing left open
};

// A directory already listed and closed; its entries wait to be visited. The names of its
// entries share one text, so that listing a directory allocates nothing per entry.
struct Frame {
  NativePath path;
  std::string names;
  std::vector<Child> children;
  std::size_t next = 0;
};

EntryType type_of_mode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryType::Directory;
  if (S_ISLNK(mode)) return EntryType::Symlink;
  return EntryType::Other;
}

WalkError io_error(const NativePath& path, int error_number) {
  // Names may hold any bytes; the message is text.
  return WalkError{std::filesystem::path(path),
                   fmt::format("IO error for operation on {}: {}", decode_utf8_lossy(path),
                               os_error_text(error_number))};
}

class DirectoryHandle {
 public:
  explicit DirectoryHandle(DIR* dir) : dir_(dir) {}
  ~DirectoryHandle() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool is_dot_or_dot_dot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Reads every entry of `path` and closes the directory before anything is descended, so the
// walk holds at most one directory handle at a time however deep the tree is.
// Returns 0, or the errno that stopped the listing (entries read before it are kept).
int list_directory(const NativePath& path, std::string& names, std::vector<Child>& children) {
  DIR* raw = nullptr;
  do {
    raw = ::opendir(path.c_str());
  } while (raw == nullptr && errno == EINTR);
  if (raw == nullptr) return errno;
  DirectoryHandle dir(raw);
  const int dir_fd = ::dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) return errno;
    if (is_dot_or_dot_dot(entry->d_name)) continue;
    const std::size_t name_size = std::char_traits<char>::length(entry->d_name);
    Child child{names.size(), name_size, EntryType::Other, 0};
    names.append(entry->d_name, name_size);
    switch (entry->d_type) {
      case DT_DIR:
        child.type = EntryType::Directory;
        break;
      case DT_LNK:
        child.type = EntryType::Symlink;
        break;
      case DT_UNKNOWN: {
        // Some file systems do not say; only then is the entry looked at on its own.
        struct stat info {};
        if (::fstatat(dir_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
          child.type = type_of_mode(info.st_mode);
        } else {
          child.stat_error = errno;
        }
        break;
      }
      default:
        break;
    }
    children.push_back(child);
  }
}

// Lists `path` onto the stack, or reports why it cannot be listed.
void descend(const NativePath& path, std::vector<Frame>& stack, const WalkVisitor& visitor) {
  Frame frame{path, {}, {}, 0};
  const int error_number = list_directory(path, frame.names, frame.children);
  if (error_number != 0) visitor.on_error(io_error(path, error_number));
  if (!frame.children.empty()) stack.push_back(std::move(frame));
}

}  // namespace

void walk_tree(const std::filesystem::path& start, const WalkVisitor& given) {
  // A caller may listen to entries only, or to errors only.
  const WalkVisitor visitor{
      given.on_entry ? given.on_entry : [](const WalkEntry&) {},
      given.on_error ? given.on_error : [](const WalkError&) {},
  };
  struct stat info {};
  if (::lstat(start.c_str(), &info) != 0) {
    visitor.on_error(io_error(start.native(), errno));
    return;
  }
  const EntryType start_type = type_of_mode(info.st_mode);
  bool walk_contents = start_type == EntryType::Directory;
  if (start_type == EntryType::Symlink) {
    // The start itself is followed; a link that leads nowhere names no existing start.
    struct stat target {};
    if (::stat(start.c_str(), &target) != 0) {
      visitor.on_error(io_error(start.native(), errno));
      return;
    }
    walk_contents = S_ISDIR(target.st_mode);
  }
  visitor.on_entry(WalkEntry{start.native(), start_type});
  if (!walk_contents) return;

  // An explicit stack instead of recursion: no depth limit from the call stack.
  std::vector<Frame> stack;
  descend(start.native(), stack, visitor);
  // Each entry's path is written into the same text, which stops growing once it has held the
  // longest path.
  NativePath path;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.children.size()) {
      stack.pop_back();
      continue;
    }
    const Child& child = top.children[top.next++];
    path.assign(top.path);
    if (!path.empty() && path.back() != '/') path += '/';
    path.append(top.names, child.name_start, child.name_size);
    if (child.stat_error != 0) {
      visitor.on_error(io_error(path, child.stat_error));
      continue;
    }
    const EntryType type = child.type;
    visitor.on_entry(WalkEntry{path, type});
    // `top` may move when the stack grows; nothing of it is used past this point.
    if (type == EntryType::Directory) descend(path, stack, visitor);
  }
}

}  // namespace quorvane::platform
