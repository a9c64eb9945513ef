#include "platform/files.hpp"

#include "platform/win32_support.hpp"

namespace quorvane::platform {

Result<std::filesystem::path> current_directory() {
  std::optional<std::wstring> directory = win32::grown_text(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); });
  if (!directory) return Failure{win32::last_error_text()};
  return std::filesystem::path(std::move(*directory));
}

Result<std::filesystem::path> canonical_path(const std::filesystem::path& path) {
  Result<std::wstring> system = win32::system_path(path);
  if (!system) return std::move(system).take_failure();
  // No access is asked for: the entry is only named, so that neither a lock nor the lack of read
  // rights gets in the way; backup semantics let a directory be opened like a file.
  const win32::OwnedHandle entry(::CreateFileW(system.value().c_str(), 0, win32::kShareAll, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!entry.valid()) return Failure{win32::last_error_text()};
  std::optional<std::wstring> final_name = win32::grown_text([&](wchar_t* buffer, DWORD size) {
    return ::GetFinalPathNameByHandleW(entry.get(), buffer, size,
                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  });
  if (!final_name) return Failure{win32::last_error_text()};
  return std::filesystem::path(std::move(*final_name));
}

}  // namespace quorvane::platform
