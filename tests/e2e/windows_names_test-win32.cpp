// End-to-end runs of the Windows program on the names that Windows finds or changes its own way:
// scan roots in another case or with the trailing dots and spaces that it drops, and entries whose
// names it would trim or take for devices. Each gives what the project spelled as the disk spells
// it gives on Linux.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"

namespace quorvane {
namespace {

using testing::ProcessResult;
using testing::run_quorvane;
using testing::TempProject;

// `roots` as TOML literal strings (no escapes: a backslash is a backslash), and one requirement
// whose evidence is in src/a.rs.
std::string manifest(const std::vector<std::string>& roots) {
  std::string list;
  for (const std::string& root : roots) {
    if (!list.empty()) list += ", ";
    list += "'" + root + "'";
  }
  return "[scan]\nroots = [" + list +
         "]\n\n[[requirements]]\nid = \"REQ-A\"\ntitle = \"First\"\nrequired_stages = "
         "[\"impl\"]\n";
}

// The `check` report of these projects: REQ-A complete when the tag in src/a.rs was read, and an
// undeclared REQ-X at each of `places`, which are in the report's order.
std::string check_report(bool a_read, const std::vector<std::string>& places) {
  std::string out =
      "1 requirements: " +
      std::string(a_read ? "1 complete, 0 incomplete, " : "0 complete, 1 incomplete, ") +
      std::to_string(places.size() + (a_read ? 0 : 1)) + " findings\n  [" + (a_read ? "OK" : "--") +
      "] REQ-A  required: [impl]  stages: -doc " + (a_read ? "+impl" : "-impl") +
      " -unit -int\n       First\n\nFindings:\n";
  if (!a_read) {
    out +=
        "  [must] missing_stage REQ-A stage=impl \u2014 Requirement is missing implementation "
        "evidence\n";
  }
  for (const std::string& place : places) {
    out += "  [must] undeclared_id REQ-X " + place +
           " \u2014 Tag references an ID not declared in the manifest\n";
  }
  return out;
}

struct RootsCase {
  std::vector<std::string> roots;
  bool a_read;
  std::vector<std::string> places;
};

// Runs `check` over each case's roots in `project`.
void expect_reports(const TempProject& project, const std::vector<RootsCase>& cases) {
  for (const RootsCase& c : cases) {
    project.write("quorvane.toml", manifest(c.roots));
    const ProcessResult result = run_quorvane(project.path(), {"check"});
    SCOPED_TRACE(manifest(c.roots));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, check_report(c.a_read, c.places));
  }
}

// src/a.rs, CMakeLists.txt and sub/Deep/b.md, each with an undeclared tag.
struct SpelledProject {
  TempProject project;
  SpelledProject() {
    project.write("src/a.rs", "// [impl->REQ-A]\n// [impl->REQ-X]\n");
    project.write("CMakeLists.txt", "# [impl->REQ-X]\n");
    project.write("sub/Deep/b.md", "[impl->REQ-X]\n");
  }
};

// Windows opens src for SRC; the records, and so the narrowing to what git reports, name it src.
// Two spellings of one root are that root twice.
TEST(WindowsNames, RootInAnotherCaseIsSpelledAsTheDiskSpellsIt) {
  SpelledProject fixture;
  expect_reports(fixture.project,
                 {
                     {{"SRC"}, true, {"src/a.rs:2"}},
                     {{"src", "SRC"}, true, {"src/a.rs:2", "src/a.rs:2"}},
                     {{"SUB/deep"}, false, {"sub/Deep/b.md:1"}},
                     {{"./Src/."}, true, {"src/a.rs:2"}},
                     // "." and ".." stay as written.
                     {{"sub/../SRC"}, true, {"sub/../src/a.rs:2"}},
                     {{"Sub\\DEEP\\..\\..\\src"}, true, {"sub/Deep/../../src/a.rs:2"}},
                 });
}

TEST(WindowsNames, FileRootInAnotherCaseIsSelectedByTheFilesRealName) {
  SpelledProject fixture;
  expect_reports(fixture.project,
                 {
                     {{"cmakelists.txt"}, false, {"CMakeLists.txt:1"}},
                     {{"CMAKELISTS.TXT"}, false, {"CMakeLists.txt:1"}},
                     {{"src/A.RS"}, true, {"src/a.rs:2"}},
                     // Windows opens the file for this too: nothing below a file is kept.
                     {{"SRC/a.Rs/."}, true, {"src/a.rs:2"}},
                 });
}

// Windows drops every trailing dot and space of a path's last name, and one trailing dot of any
// other name; a last name of only dots and spaces goes altogether, after "." and ".." are
// resolved, so ".. " takes nothing back.
TEST(WindowsNames, RootWithTrailingDotsOrSpacesIsTheEntryWindowsOpens) {
  SpelledProject fixture;
  expect_reports(fixture.project,
                 {
                     {{"src/a.rs."}, true, {"src/a.rs:2"}},
                     {{"src/a.rs "}, true, {"src/a.rs:2"}},
                     {{"src/a.rs. ."}, true, {"src/a.rs:2"}},
                     {{"src "}, true, {"src/a.rs:2"}},
                     {{"src."}, true, {"src/a.rs:2"}},
                     {{"sub./Deep"}, false, {"sub/Deep/b.md:1"}},
                     {{"src", "src "}, true, {"src/a.rs:2", "src/a.rs:2"}},
                     {{"src\\ "}, true, {"src/a.rs:2"}},
                     {{"src/ "}, true, {"src/a.rs:2"}},
                     {{"src\\..."}, true, {"src/a.rs:2"}},
                     {{"src\\.. "}, true, {"src/a.rs:2"}},
                     {{" "}, true, {"CMakeLists.txt:1", "src/a.rs:2", "sub/Deep/b.md:1"}},
                 });
}

// Names that come from WSL, git checkouts and tools that use verbatim paths: Win32 would drop a
// trailing dot or space from them, or take them for devices, if it parsed them again.
TEST(WindowsNames, EntriesWhoseNamesWin32WouldRewriteAreRead) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-A]\n// [impl->REQ-X]\n");
  const std::filesystem::path top = project.path();
  testing::write_file(top / L"con.rs", "// [impl->REQ-X]\n");
  testing::write_file(top / L"nul.md", "[impl->REQ-X]\n");
  testing::write_file(top / L"aux.py", "# [impl->REQ-X]\n");
  for (const auto& [folder, file] : {std::pair{L"lpt1", L"z.rs"}, std::pair{L"d ", L"x.rs"},
                                     std::pair{L"e.", L"y.rs"}, std::pair{L"aux", L"w.md"}}) {
    testing::make_directory(top / folder);
    testing::write_file(top / folder / file, "// [impl->REQ-X]\n");
  }
  expect_reports(
      project, {
                   {{"."},
                    true,
                    {"aux.py:1", "aux/w.md:1", "con.rs:1", "d /x.rs:1", "e./y.rs:1", "lpt1/z.rs:1",
                     "nul.md:1", "src/a.rs:2"}},
                   {{"d /", "LPT1/Z.RS", "src"}, true, {"d /x.rs:1", "lpt1/z.rs:1", "src/a.rs:2"}},
               });
}

}  // namespace
}  // namespace quorvane
