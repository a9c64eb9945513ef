#include "scan/comment_style.hpp"

#include <cstddef>

namespace quorvane {
namespace {

struct ExtensionKind {
  std::string_view extension;
  FileKind kind;
};

constexpr ExtensionKind kExtensions[] = {
    {"rs", FileKind::Rust},           {"c", FileKind::CFamily},      {"h", FileKind::CFamily},
    {"cc", FileKind::CFamily},        {"hh", FileKind::CFamily},     {"cpp", FileKind::CFamily},
    {"cxx", FileKind::CFamily},       {"c++", FileKind::CFamily},    {"hpp", FileKind::CFamily},
    {"hxx", FileKind::CFamily},       {"h++", FileKind::CFamily},    {"js", FileKind::JavaScript},
    {"ts", FileKind::JavaScript},     {"jsx", FileKind::JavaScript}, {"mjs", FileKind::JavaScript},
    {"cjs", FileKind::JavaScript},    {"tsx", FileKind::JavaScript}, {"mts", FileKind::JavaScript},
    {"cts", FileKind::JavaScript},    {"py", FileKind::Python},      {"md", FileKind::Markdown},
    {"markdown", FileKind::Markdown}, {"cmake", FileKind::CMake},    {"yml", FileKind::Yaml},
    {"yaml", FileKind::Yaml},
};

// No extension in the table is longer than this.
constexpr std::size_t kLongestExtension = 8;

}  // namespace

std::optional<std::string_view> file_extension(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  return file_name.substr(dot + 1);
}

std::optional<FileKind> select_file_kind(std::string_view file_name, std::string_view extension) {
  if (file_name == "CMakeLists.txt") return FileKind::CMake;
  if (extension.empty() || extension.size() > kLongestExtension) return std::nullopt;
  // Lower-cased on a small copy; a byte outside ASCII (valid UTF-8 or not) matches no entry.
  char lowered_bytes[kLongestExtension];
  for (std::size_t i = 0; i < extension.size(); ++i) {
    const char c = extension[i];
    lowered_bytes[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  const std::string_view lowered(lowered_bytes, extension.size());
  for (const ExtensionKind& entry : kExtensions) {
    if (entry.extension == lowered) return entry.kind;
  }
  return std::nullopt;
}

CommentStyle style_of_kind(FileKind kind) {
  switch (kind) {
    case FileKind::Rust:
    case FileKind::CFamily:
    case FileKind::JavaScript:
      return CommentStyle::CLike;
    case FileKind::Python:
      return CommentStyle::Python;
    case FileKind::Markdown:
      return CommentStyle::Markdown;
    case FileKind::CMake:
    case FileKind::Yaml:
      break;
  }
  return CommentStyle::Hash;
}

std::optional<CommentStyle> select_comment_style(std::string_view file_name,
                                                 std::string_view extension) {
  const std::optional<FileKind> kind = select_file_kind(file_name, extension);
  if (!kind) return std::nullopt;
  return style_of_kind(*kind);
}

}  // namespace quorvane
