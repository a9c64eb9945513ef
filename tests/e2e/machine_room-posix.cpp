#include "e2e/machine_room.hpp"

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace quorvane::testing {

// MemAvailable of /proc/meminfo.
std::optional<std::uintmax_t> available_memory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uintmax_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib >> unit) {
    if (key == "MemAvailable:") return kib * 1024;
  }
  return std::nullopt;
}

// POSIX file systems that keep holes keep them unasked.
bool make_sparse(const std::filesystem::path&) {
  return true;
}

std::optional<std::uintmax_t> allocated_bytes(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uintmax_t>(info.st_blocks) * 512;
}

}  // namespace quorvane::testing
