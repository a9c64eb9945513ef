#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "manifest/loader.hpp"
#include "platform/files.hpp"
#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using testing::TempProject;

// `path` without its drive or share: written from the top of its drive.
std::string from_top_of_drive(const fs::path& path) {
  const std::string text = platform::path_bytes(path);
  return text.substr(platform::windows_path_prefix(std::string_view(text)).length);
}

// The load's outcome for the project at `root` with the given scan roots (TOML literal strings,
// so that backslashes stay as written): "ok" and the roots, or the message.
std::string load_with_roots(const fs::path& root, const std::vector<std::string>& roots) {
  std::string list;
  for (const std::string& text : roots) list += (list.empty() ? "'" : ", '") + text + "'";
  testing::write_file(root / "quorvane.toml", "[scan]\nroots = [" + list + "]\n");
  const Result<Manifest> result = load_manifest(root);
  std::string got = result ? "ok" : result.error();
  if (result) {
    for (const fs::path& scan_root : result.value().scan_roots) {
      got += ' ';
      got += platform::path_bytes(scan_root);
    }
  }
  return got;
}

TEST(LoadManifestOnWindows, DriveLetterRootsAreAbsoluteEvenInsideTheProject) {
  TempProject project;
  project.mkdir("src");
  const std::string inside = platform::path_bytes(project.path() / "src");
  std::string inside_slashed = inside;
  std::replace(inside_slashed.begin(), inside_slashed.end(), '\\', '/');
  for (const std::string& root :
       {std::string("C:\\x"), std::string("C:/x"), std::string("z:\\"), inside, inside_slashed}) {
    EXPECT_EQ(load_with_roots(project.path(), {root}),
              "manifest_error: scan root '" + root + "' must not be absolute");
  }
}

TEST(LoadManifestOnWindows, DriveWithoutASeparatorIsNotAbsolute) {
  TempProject project;
  project.mkdir("src");
  // Joined to the project as text, not taken as the drive's current directory (which is the
  // project here, where "C:src" would name src).
  const testing::CurrentDirectoryScope scope(project.path());
  const std::string drive = platform::path_bytes(project.path()).substr(0, 2);
  for (const std::string& root : {std::string("C:x"), drive + "src"}) {
    EXPECT_EQ(load_with_roots(project.path(), {root}),
              "manifest_error: scan root '" + root + "' is unreadable or does not exist");
  }
}

TEST(LoadManifestOnWindows, RootFromTheTopOfTheDriveMustLieInsideTheProject) {
  TempProject outside;
  TempProject project;
  project.mkdir("src/sub");
  const std::string top = from_top_of_drive(project.path());
  std::string top_slashed = top;
  std::replace(top_slashed.begin(), top_slashed.end(), '\\', '/');
  const struct {
    std::string root;
    std::string expected;
  } cases[] = {
      {top + "\\src", "ok " + top + "\\src"},
      {top_slashed + "/src/sub", "ok " + top_slashed + "/src/sub"},
      {top, "ok " + top},
      {top + "\\src\\..\\..",
       "manifest_error: scan root '" + top + "\\src\\..\\..' escapes the repository root"},
      {from_top_of_drive(outside.path()), "manifest_error: scan root '" +
                                              from_top_of_drive(outside.path()) +
                                              "' escapes the repository root"},
      {"\\", "manifest_error: scan root '\\' escapes the repository root"},
      {"/", "manifest_error: scan root '/' escapes the repository root"},
      {top + "\\missing",
       "manifest_error: scan root '" + top + "\\missing' is unreadable or does not exist"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load_with_roots(project.path(), {c.root}), c.expected) << c.root;
  }
}

TEST(LoadManifestOnWindows, ProjectNamedInItsCanonicalFormTakesTheSameRoots) {
  TempProject project;
  project.mkdir("src");
  const Result<fs::path> canonical = platform::canonical_path(project.path());
  ASSERT_TRUE(canonical) << canonical.error();
  const std::string top = from_top_of_drive(project.path());
  for (const fs::path& root : {canonical.value(), project.path()}) {
    EXPECT_EQ(load_with_roots(root, {"src", "src\\", top + "\\src", "."}),
              "ok src src\\ " + top + "\\src .")
        << platform::path_bytes(root);
  }
}

TEST(LoadManifestOnWindows, ProjectPastMaxPath) {
  TempProject project;
  const fs::path deep = testing::make_long_directory(project.path(), MAX_PATH + 40);
  testing::make_directory(deep / "src");
  const std::string got = load_with_roots(deep, {"src"});
  if (got == "manifest_error: cannot resolve repo root (" +
                 platform::os_error_text(ERROR_MORE_DATA) + ")") {
    GTEST_SKIP() << "GetFinalPathNameByHandleW of this system gives no name past MAX_PATH "
                    "(wine's keeps a fixed buffer): "
                 << got;
  }
  EXPECT_EQ(got, "ok src");
}

}  // namespace
}  // namespace quorvane
