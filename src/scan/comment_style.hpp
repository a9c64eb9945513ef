#pragma once

#include <optional>
#include <string_view>

namespace quorvane {

enum class CommentStyle { CLike, Python, Markdown, Hash };

// The seven kinds of selected file, in table order; kinds of one style behave alike.
enum class FileKind { Rust, CFamily, JavaScript, Python, Markdown, CMake, Yaml };

// By file name ("CMakeLists.txt") or the ASCII-lowered last extension; none: the file is not read.
// `extension` is empty when the name has none.
std::optional<CommentStyle> select_comment_style(std::string_view file_name,
                                                 std::string_view extension);

// The kind behind the style choice; none when the file is not read.
std::optional<FileKind> select_file_kind(std::string_view file_name, std::string_view extension);
CommentStyle style_of_kind(FileKind kind);

// The extension rule: text after the last "."; a name without "." or whose only "." is its first
// character has none (returns nullopt). A name ending in "." has the empty extension.
std::optional<std::string_view> file_extension(std::string_view file_name);

}  // namespace quorvane
