#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/paths.hpp"
#include "scan/comment_style.hpp"
#include "scan/record_path.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

std::optional<CommentStyle> style_for(std::string_view name) {
  const std::optional<std::string_view> extension = file_extension(name);
  return select_comment_style(name, extension.value_or(""));
}

struct StyleCase {
  std::string name;
  std::optional<CommentStyle> style;
};

TEST(SelectCommentStyle, FollowsTheNameAndExtensionTable) {
  using enum CommentStyle;
  const StyleCase cases[] = {
      {"lib.rs", CLike},
      {"x.RS", CLike},
      {"a.c", CLike},
      {"a.h", CLike},
      {"a.cc", CLike},
      {"a.hh", CLike},
      {"main.CPP", CLike},
      {"a.cxx", CLike},
      {"a.c++", CLike},
      {"a.hpp", CLike},
      {"a.hxx", CLike},
      {"a.h++", CLike},
      {"a.js", CLike},
      {"a.ts", CLike},
      {"a.jsx", CLike},
      {"a.mjs", CLike},
      {"a.cjs", CLike},
      {"a.tsx", CLike},
      {"a.mts", CLike},
      {"a.cts", CLike},
      {"a.Py", Python},
      {"a.md", Markdown},
      {"notes.Markdown", Markdown},
      {"b.MARKDOWN", Markdown},
      {"archive.tar.md", Markdown},
      {"x.cmake", Hash},
      {"CMakeLists.txt", Hash},
      {"ci.yml", Hash},
      {"ci.YAML", Hash},
      // Not selected.
      {"CMAKELISTS.TXT", std::nullopt},
      {"cmakelists.txt", std::nullopt},
      {"README", std::nullopt},
      {"Makefile", std::nullopt},
      {".rs", std::nullopt},
      {"a.rs.", std::nullopt},
      {"a.", std::nullopt},
      {"notes.txt", std::nullopt},
      {"quorvane.toml", std::nullopt},
      {"a.json", std::nullopt},
      {"a.mdx", std::nullopt},
      {"a.markdow", std::nullopt},
      {"a.markdowns", std::nullopt},
      {"a.pyc", std::nullopt},
      {"md", std::nullopt},
      {"a.r\xFF", std::nullopt},
      {"a.\xC3\xA9", std::nullopt},
      {"rs.bak", std::nullopt},
      // Two dots: the first is not the only one, so the extension is "rs".
      {"..rs", CLike},
      {"\xFF\xFE.py", Python},
  };
  for (const StyleCase& c : cases) EXPECT_EQ(style_for(c.name), c.style) << c.name;
}

TEST(FileExtension, IsTheTextAfterTheLastDot) {
  EXPECT_EQ(file_extension("a.tar.gz"), "gz");
  EXPECT_EQ(file_extension("a."), "");
  EXPECT_EQ(file_extension(".hidden"), std::nullopt);
  EXPECT_EQ(file_extension("plain"), std::nullopt);
  EXPECT_EQ(file_extension(".a.b"), "b");
}

TEST(SelectFileKind, TellsTheSevenKindsApart) {
  EXPECT_EQ(select_file_kind("a.rs", "rs"), FileKind::Rust);
  EXPECT_EQ(select_file_kind("a.hpp", "hpp"), FileKind::CFamily);
  EXPECT_EQ(select_file_kind("a.ts", "ts"), FileKind::JavaScript);
  EXPECT_EQ(select_file_kind("a.py", "py"), FileKind::Python);
  EXPECT_EQ(select_file_kind("a.markdown", "markdown"), FileKind::Markdown);
  EXPECT_EQ(select_file_kind("CMakeLists.txt", "txt"), FileKind::CMake);
  EXPECT_EQ(select_file_kind("a.yaml", "yaml"), FileKind::Yaml);
}

struct PathCase {
  std::string root;
  std::string path;
  std::string expected;
};

TEST(RecordPath, IsRelativeByComponentsWithSlashes) {
  const PathCase cases[] = {
      {"/p", "/p/src/auth/login.rs", "src/auth/login.rs"},
      {"/p", "/p/./src/a.rs", "src/a.rs"},
      {"/p/", "/p//src/./a.rs", "src/a.rs"},
      {"/p/.", "/p/src/a.rs", "src/a.rs"},
      {"/p", "/p/a/../b/x.md", "a/../b/x.md"},
      {"/p", "/p/docs/spec.md", "docs/spec.md"},
      {"/p", "/p/src/", "src"},
      {"/p", "/p", ""},
      {"/p", "/p/.", ""},
      {"/p", "/pq/a.rs", "\\/pq/a.rs"},  // outside the project: the path whole
      {"/p/src", "/p", "\\/p"},
      {".", "./src/a.rs", "src/a.rs"},
      {"", "./src/a.rs", "./src/a.rs"},
      {"/p", "/p/bad\xFFname.rs", "bad\xEF\xBF\xBDname.rs"},
      {"/p", "/p/\xC3\xA4/\xC3.rs", "\xC3\xA4/\xEF\xBF\xBD.rs"},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(record_path(platform::path_from_utf8(c.root), platform::path_from_utf8(c.path)),
              c.expected)
        << c.root << " | " << c.path;
  }
}

TEST(RecordPath, OneRootServesManyPathsWrittenIntoOneText) {
  // What the scan does: the root's components found once, each record path written over the
  // last one's text.
  const RecordPaths paths("/p/.");
  std::string out = "left over";
  const PathCase cases[] = {
      {"", "/p/src/deep/er/still/file.rs", "src/deep/er/still/file.rs"},
      {"", "/p/a.rs", "a.rs"},
      {"", "/q/a.rs", "\\/q/a.rs"},
      {"", "/p/\xFF/b.md", "\xEF\xBF\xBD/b.md"},
      {"", "/p", ""},
      {"", "/p/x/./y.py", "x/y.py"},
  };
  for (const PathCase& c : cases) {
    paths.write(c.path, out);
    EXPECT_EQ(out, c.expected) << c.path;
  }
}

}  // namespace
}  // namespace quorvane
