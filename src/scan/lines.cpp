#include "scan/lines.hpp"

#include <cstring>

namespace quorvane {

bool LineSplitter::next(std::string_view& line) {
  if (done_) return false;
  const void* feed = rest_.empty() ? nullptr : std::memchr(rest_.data(), '\n', rest_.size());
  if (feed == nullptr) {
    line = rest_;
    done_ = true;
  } else {
    const auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - rest_.data());
    line = rest_.substr(0, length);
    rest_.remove_prefix(length + 1);
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

}  // namespace quorvane
