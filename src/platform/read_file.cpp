#include "platform/read_file.hpp"
#include "platform/read_loop.hpp"
#include "platform/utf8_check.hpp"

namespace quorvane::platform {
namespace {

constexpr const char* kInvalidUtf8 = "stream did not contain valid UTF-8";

}  // namespace

Result<std::string_view> read_utf8_file(const NativePath& path, std::string& buffer) {
  Result<std::size_t> length = read_whole_file(path, buffer, FifoReading::TakeWhatHasArrived);
  if (!length) return std::move(length).take_failure();
  const std::string_view content(buffer.data(), length.value());
  if (!is_valid_utf8(content)) return Failure{kInvalidUtf8};
  return content;
}

Result<std::string> read_utf8_file(const std::filesystem::path& path, FifoReading fifos) {
  std::string content;
  Result<std::size_t> length = read_whole_file(path, content, fifos);
  if (!length) return std::move(length).take_failure();
  content.resize(length.value());
  if (!is_valid_utf8(content)) return Failure{kInvalidUtf8};
  return content;
}

}  // namespace quorvane::platform
