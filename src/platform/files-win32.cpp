#include "platform/files.hpp"

#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

Result<std::filesystem::path> current_directory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return Failure{win32::last_error_text()};
    // Too small: the length asked for counts the terminating NUL, a fitting one does not.
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(std::move(buffer));
    }
    buffer.resize(length);
  }
}

Result<std::filesystem::path> canonical_path(const std::filesystem::path& path) {
  Result<std::wstring> system = win32::system_path(path);
  if (!system) return std::move(system).take_failure();
  // No access is asked for: the entry is only named, so that neither a lock nor the lack of read
  // rights gets in the way; backup semantics let a directory be opened like a file.
  const win32::OwnedHandle entry(::CreateFileW(system.value().c_str(), 0, kShareAll, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!entry.valid()) return Failure{win32::last_error_text()};
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(entry.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return Failure{win32::last_error_text()};
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(std::move(buffer));
    }
    buffer.resize(length);
  }
}

}  // namespace quorvane::platform
