#include "e2e/machine_room.hpp"

#include <windows.h>
//
#include <winioctl.h>

namespace quorvane::testing {

std::optional<std::uintmax_t> available_memory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!::GlobalMemoryStatusEx(&status)) return std::nullopt;
  return status.ullAvailPhys;
}

// NTFS leaves no holes in a file unless it is marked sparse.
bool make_sparse(const std::filesystem::path& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const BOOL done =
      ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  ::CloseHandle(file);
  return done != FALSE;
}

std::optional<std::uintmax_t> allocated_bytes(const std::filesystem::path& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  FILE_STANDARD_INFO info{};
  const BOOL done = ::GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info);
  ::CloseHandle(file);
  if (!done) return std::nullopt;
  return static_cast<std::uintmax_t>(info.AllocationSize.QuadPart);
}

}  // namespace quorvane::testing
