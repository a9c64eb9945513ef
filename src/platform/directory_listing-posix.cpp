#include "platform/directory_listing.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/os_error.hpp"

namespace quorvane::platform {
namespace {

EntryType type_of_mode(mode_t mode) {
  if (S_ISDIR(mode)) return EntryType::Directory;
  if (S_ISLNK(mode)) return EntryType::Symlink;
  return EntryType::Other;
}

bool is_dot_or_dot_dot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

class DirectoryHandle {
 public:
  explicit DirectoryHandle(DIR* dir) : dir_(dir) {}
  ~DirectoryHandle() { ::closedir(dir_); }
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

}  // namespace

Result<WalkStart> look_at_walk_start(const std::filesystem::path& start) {
  struct stat info {};
  if (::lstat(start.c_str(), &info) != 0) return Failure{os_error_text(errno)};
  const EntryType type = type_of_mode(info.st_mode);
  bool walk_contents = type == EntryType::Directory;
  if (type == EntryType::Symlink) {
    // The start itself is followed; a link that leads nowhere names no existing start.
    struct stat target {};
    if (::stat(start.c_str(), &target) != 0) return Failure{os_error_text(errno)};
    walk_contents = S_ISDIR(target.st_mode);
  }
  return WalkStart{type, walk_contents, {}};
}

int list_directory(const NativePath& path, DirectoryEntries& into) {
  DIR* raw = nullptr;
  do {
    raw = ::opendir(path.c_str());
  } while (raw == nullptr && errno == EINTR);
  if (raw == nullptr) return errno;
  const DirectoryHandle dir(raw);
  const int dir_fd = ::dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) return errno;
    if (is_dot_or_dot_dot(entry->d_name)) continue;
    const std::size_t name_size = std::char_traits<char>::length(entry->d_name);
    ListedEntry listed{into.names.size(), name_size, EntryType::Other, 0};
    into.names.append(entry->d_name, name_size);
    switch (entry->d_type) {
      case DT_DIR:
        listed.type = EntryType::Directory;
        break;
      case DT_LNK:
        listed.type = EntryType::Symlink;
        break;
      case DT_UNKNOWN: {
        // Some file systems do not say; only then is the entry looked at on its own.
        struct stat info {};
        if (::fstatat(dir_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
          listed.type = type_of_mode(info.st_mode);
        } else {
          listed.error = errno;
        }
        break;
      }
      default:
        break;
    }
    into.entries.push_back(listed);
  }
}

}  // namespace quorvane::platform
