#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/file_links.hpp"
#include "helpers/os_texts.hpp"
#include "helpers/temp_project.hpp"
#include "helpers/without_privileges.hpp"
#include "manifest/loader.hpp"
#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"

namespace quorvane {
namespace {

using testing::TempProject;

std::string load_error(const TempProject& project) {
  const Result<Manifest> result = load_manifest(project.path());
  return result ? "ok" : result.error();
}

Manifest load_ok(const TempProject& project) {
  Result<Manifest> result = load_manifest(project.path());
  EXPECT_TRUE(result) << result.error();
  return result ? std::move(result).value() : Manifest{};
}

TEST(LoadManifest, ReadFailuresCarryThePlatformText) {
  TempProject missing;
  EXPECT_EQ(load_error(missing),
            "manifest_error: cannot read quorvane.toml (" +
                testing::expected_os_text("No such file or directory (os error 2)",
                                          testing::win32_error::kFileNotFound) +
                ")");

  // Windows refuses to open a directory as a file.
  TempProject directory;
  directory.mkdir("quorvane.toml");
  EXPECT_EQ(load_error(directory),
            "manifest_error: cannot read quorvane.toml (" +
                testing::expected_os_text("Is a directory (os error 21)",
                                          testing::win32_error::kAccessDenied) +
                ")");

  TempProject not_utf8;
  not_utf8.write("quorvane.toml", "[[requirements]]\nid = \"\xC3\x28\"\n");
  EXPECT_EQ(load_error(not_utf8),
            "manifest_error: cannot read quorvane.toml (stream did not contain valid UTF-8)");
}

TEST(LoadManifest, UnreadableFileIsAReadError) {
  if (auto reason = testing::why_privileges_cannot_be_dropped()) GTEST_SKIP() << *reason;
  TempProject project;
  project.write("quorvane.toml", "");
  testing::open_to_others(project.path());
  std::filesystem::permissions(project.path() / "quorvane.toml", std::filesystem::perms::none);
  // Root ignores permission bits, so the load runs in a child without privileges.
  const testing::ProbeOutcome outcome =
      testing::run_without_privileges([&] { return load_error(project); });
  ASSERT_TRUE(outcome.ok) << outcome.output;
  EXPECT_EQ(outcome.output,
            "manifest_error: cannot read quorvane.toml (Permission denied (os error 13))");
}

TEST(LoadManifest, ParseReportStandsBetweenTheParenthesesWithTheClosingOneOnItsOwnLine) {
  TempProject project;
  project.write("quorvane.toml", "[[requirements]]\ntitle = 'no id'\n");
  EXPECT_EQ(load_error(project),
            "manifest_error: cannot parse quorvane.toml (TOML parse error at line 1, column 1\n"
            "  |\n"
            "1 | [[requirements]]\n"
            "  | ^\n"
            "missing field `id`\n"
            ")");

  project.write("quorvane.toml", "[scan\n");
  const std::string error = load_error(project);
  EXPECT_EQ(error.rfind("manifest_error: cannot parse quorvane.toml (TOML parse error at line 1, "
                        "column ",
                        0),
            0u)
      << error;
  EXPECT_TRUE(error.ends_with("\n)")) << error;
}

TEST(LoadManifest, EmptyManifestGivesDefaults) {
  TempProject project;
  project.write("quorvane.toml", "");
  const Manifest manifest = load_ok(project);
  EXPECT_EQ(manifest.scan_roots, std::vector<std::filesystem::path>{"."});
  EXPECT_TRUE(manifest.requirements.empty());
  EXPECT_TRUE(manifest.types.empty());
  EXPECT_TRUE(manifest.stages.empty());
  EXPECT_TRUE(manifest.signoffs.empty());
}

TEST(LoadManifest, BuildsTheResolvedModel) {
  TempProject project;
  project.write("quorvane.toml", R"(
[policy]
required_stages = ["impl", "review"]

[[requirements]]
id = "REQ-A"
title = "  "
type = "A-B"
priority = "could"

[[requirements]]
id = ""
required_stages = []
priority = "should"

[[requirements]]
id = "REQ-B"
required_stages = ["unit", "int", "unit"]

[types.A_B]
[types.AB]
description = "ab"
[types.A-B]

[stages.ab]
[stages.a0]
[stages.a-b]
[stages.review]
description = "peer review"

[[signoffs]]
requirement = "REQ-A"
stage = "review"
url = "  https://example.org/r/1 "

[[signoffs]]
requirement = "REQ-A"
stage = "review"
url = "  https://example.org/r/1 "
)");
  const Manifest m = load_ok(project);
  ASSERT_EQ(m.requirements.size(), 3u);
  const Requirement& a = m.requirements[0];
  EXPECT_EQ(a.id, "REQ-A");
  EXPECT_EQ(a.title, "  ");
  EXPECT_EQ(a.type, "A-B");
  EXPECT_EQ(a.required_stages, (std::vector<std::string>{"impl", "review"}));
  EXPECT_EQ(a.priority, Priority::Could);
  const Requirement& empty = m.requirements[1];
  EXPECT_EQ(empty.id, "");
  EXPECT_EQ(empty.title, std::nullopt);
  EXPECT_TRUE(empty.required_stages.empty());
  EXPECT_EQ(empty.priority, Priority::Should);
  const Requirement& b = m.requirements[2];
  EXPECT_EQ(b.type, std::nullopt);
  EXPECT_EQ(b.required_stages, (std::vector<std::string>{"unit", "int", "unit"}));
  EXPECT_EQ(b.priority, Priority::Must);

  ASSERT_EQ(m.types.size(), 3u);
  EXPECT_EQ(m.types[0].name, "A-B");
  EXPECT_EQ(m.types[1].name, "AB");
  EXPECT_EQ(m.types[1].description, "ab");
  EXPECT_EQ(m.types[2].name, "A_B");

  std::vector<std::string> stage_names;
  for (const StageDef& s : m.stages) stage_names.push_back(s.name);
  EXPECT_EQ(stage_names, (std::vector<std::string>{"a-b", "a0", "ab", "review"}));
  EXPECT_EQ(m.stages[3].description, "peer review");

  ASSERT_EQ(m.signoffs.size(), 2u);
  EXPECT_EQ(m.signoffs[1].requirement, "REQ-A");
  EXPECT_EQ(m.signoffs[1].stage, "review");
  EXPECT_EQ(m.signoffs[1].url, "  https://example.org/r/1 ");
}

TEST(LoadManifest, DefaultRequiredStagesWithoutPolicyList) {
  TempProject project;
  project.write("quorvane.toml", "[policy]\n[[requirements]]\nid = 'A'\n");
  EXPECT_EQ(load_ok(project).requirements.at(0).required_stages,
            (std::vector<std::string>{"doc", "impl", "unit"}));
  project.write("quorvane.toml", "[policy]\nrequired_stages = []\n[[requirements]]\nid = 'A'\n");
  EXPECT_TRUE(load_ok(project).requirements.at(0).required_stages.empty());
}

struct OrderCase {
  std::string name;
  std::string toml;
  std::string expected;
};

// Each manifest holds two or more faults; the message shows which check runs first.
TEST(LoadManifest, ChecksRunInTheirFixedOrderAndTheFirstFailureWins) {
  const std::vector<OrderCase> cases = {
      {"built-in stage name", "[stages.doc]",
       "manifest_error: custom stage 'doc' collides with a built-in stage"},
      {"capital stage name", "[stages.Review]",
       "manifest_error: invalid custom stage name 'Review' (expected [a-z][a-z0-9_-]*)"},
      {"digit first", "[stages.1st]",
       "manifest_error: invalid custom stage name '1st' (expected [a-z][a-z0-9_-]*)"},
      {"empty stage name", "[stages.\"\"]",
       "manifest_error: invalid custom stage name '' (expected [a-z][a-z0-9_-]*)"},
      {"non-ASCII stage name", "[stages.\"réview\"]",
       "manifest_error: invalid custom stage name 'réview' (expected [a-z][a-z0-9_-]*)"},
      {"smallest bad stage in byte order", "[stages.zeta]\n[stages.Alpha]\n[stages.Beta]",
       "manifest_error: invalid custom stage name 'Alpha' (expected [a-z][a-z0-9_-]*)"},
      {"stages before types", "[types.lower]\n[stages.Bad]",
       "manifest_error: invalid custom stage name 'Bad' (expected [a-z][a-z0-9_-]*)"},
      {"lower-case type", "[types.feature]",
       "manifest_error: invalid requirement type 'feature' (expected [A-Z][A-Z0-9_-]*)"},
      {"types before policy", "[policy]\nrequired_stages = ['nope']\n[types.\"É\"]",
       "manifest_error: invalid requirement type 'É' (expected [A-Z][A-Z0-9_-]*)"},
      {"policy stage", "[policy]\nrequired_stages = ['doc', 'Doc', 'nope']",
       "manifest_error: invalid stage 'Doc' in policy.required_stages"},
      {"custom stage serves the policy", "[policy]\nrequired_stages = ['review']\n[stages.review]",
       "ok"},
      {"policy before scan roots", "[scan]\nroots = ['missing']\n[policy]\nrequired_stages = ['x']",
       "manifest_error: invalid stage 'x' in policy.required_stages"},
      {"scan roots before requirements",
       "[scan]\nroots = ['missing']\n[[requirements]]\nid = 'A'\n[[requirements]]\nid = 'A'",
       "manifest_error: scan root 'missing' is unreadable or does not exist"},
      {"duplicate id before the later entry's fields",
       "[[requirements]]\nid = 'A'\n[[requirements]]\nid = 'A'\nrequired_stages = ['x']\n"
       "priority = 'x'",
       "manifest_error: duplicate requirement id 'A'"},
      {"requirements in file order",
       "[[requirements]]\nid = 'A'\npriority = 'x'\n[[requirements]]\nid = 'A'",
       "manifest_error: invalid priority 'x' in requirements[A] (expected must, should, or could)"},
      {"stages before priority",
       "[[requirements]]\nid = 'A'\nrequired_stages = ['unit', 'Unit']\npriority = 'x'",
       "manifest_error: invalid stage 'Unit' in requirements[A].required_stages"},
      {"priority before type", "[[requirements]]\nid = 'A'\npriority = 'Must'\ntype = 'bad'",
       "manifest_error: invalid priority 'Must' in requirements[A] (expected must, should, or "
       "could)"},
      {"padded priority", "[[requirements]]\nid = 'A'\npriority = ' must'",
       "manifest_error: invalid priority ' must' in requirements[A] (expected must, should, or "
       "could)"},
      {"type form", "[[requirements]]\nid = 'A'\ntype = 'feature'",
       "manifest_error: invalid type 'feature' in requirements[A] (expected [A-Z][A-Z0-9_-]*)"},
      {"any type when none declared", "[[requirements]]\nid = 'A'\ntype = 'FEATURE'", "ok"},
      {"undeclared type", "[types.BUG]\n[[requirements]]\nid = 'A'\ntype = 'FEATURE'",
       "manifest_error: unknown type 'FEATURE' in requirements[A]"},
      {"requirements before sign-offs",
       "[[requirements]]\nid = 'A'\n[[requirements]]\nid = 'A'\n[[signoffs]]\nrequirement = "
       "'B'\nstage = 'x'\nurl = ''",
       "manifest_error: duplicate requirement id 'A'"},
      {"undeclared before stage",
       "[[requirements]]\nid = 'A'\n"
       "[[signoffs]]\nrequirement = 'A'\nstage = 'doc'\nurl = 'u'\n"
       "[[signoffs]]\nrequirement = 'A'\nstage = 'unit'\nurl = 'u'\n"
       "[[signoffs]]\nrequirement = 'B'\nstage = 'nope'\nurl = ''",
       "manifest_error: signoffs[2] references undeclared requirement 'B'"},
      {"sign-off stage", "signoffs = [['A', 'Doc', '']]\n[[requirements]]\nid = 'A'",
       "manifest_error: signoffs[0] uses invalid stage 'Doc'"},
      {"blank url", "signoffs = [['A', 'doc', \" \\t\u3000 \"]]\n[[requirements]]\nid = 'A'",
       "manifest_error: signoffs[0] has empty url"},
  };
  for (const OrderCase& c : cases) {
    TempProject project;
    project.write("quorvane.toml", c.toml);
    EXPECT_EQ(load_error(project), c.expected) << c.name;
  }
}

struct RootCase {
  std::string roots;  // the TOML value of scan.roots
  std::string expected;
};

// `path` written from the top of its drive: without its drive or share on Windows.
std::string from_top_of_drive(const std::filesystem::path& path) {
  const std::string text = platform::path_bytes(path);
  if (!platform::kIsWindows) return text;
  return text.substr(platform::windows_path_prefix(std::string_view(text)).length);
}

// The load's outcome with the given TOML value of scan.roots: "ok" and the roots, or the message.
std::string load_with_roots(const TempProject& project, const std::string& roots) {
  project.write("quorvane.toml", "[scan]\nroots = " + roots);
  const Result<Manifest> result = load_manifest(project.path());
  std::string got = result ? "ok" : result.error();
  if (result) {
    for (const auto& root : result.value().scan_roots) {
      got += ' ';  // not " " + a temporary: g++ 12 warns falsely (-Wrestrict) at -O2 and above
      got += platform::path_bytes(root);
    }
  }
  return got;
}

TEST(LoadManifest, ScanRootsMustExistInsideTheProjectAndStayAsWritten) {
  TempProject outside;
  TempProject project;
  project.mkdir("src/sub");
  project.write("notes.md", "");
  // A sibling whose name extends the project's: inside by characters, outside by components.
  const std::filesystem::path sibling =
      platform::path_from_utf8(platform::path_bytes(project.path()) + "x");
  std::filesystem::create_directory(sibling);
  const std::string sibling_root = "../" + platform::path_bytes(sibling.filename());

  std::vector<RootCase> cases = {
      {"['.']", "ok ."},
      {"['']", "ok "},
      {"[]", "ok"},
      {"['src', 'src', 'notes.md', 'src/sub/..', './src/']",
       "ok src src notes.md src/sub/.. ./src/"},
      {"['missing']", "manifest_error: scan root 'missing' is unreadable or does not exist"},
      {"['..']", "manifest_error: scan root '..' escapes the repository root"},
      {"['src/../..']", "manifest_error: scan root 'src/../..' escapes the repository root"},
      {"['" + sibling_root + "']",
       "manifest_error: scan root '" + sibling_root + "' escapes the repository root"},
      // Absolute only by the Windows rule: a leading separator names the top of the drive.
      {"['" + from_top_of_drive(outside.path()) + "']", "manifest_error: scan root '" +
                                                            from_top_of_drive(outside.path()) +
                                                            "' escapes the repository root"},
      {"['C:\\x']", "manifest_error: scan root 'C:\\x' must not be absolute"},
      {"['c:/x']", "manifest_error: scan root 'c:/x' must not be absolute"},
      {"['\\\\server\\share']",
       "manifest_error: scan root '\\\\server\\share' must not be absolute"},
      {"['.', 'src', '\\\\?\\C:\\x']",
       "manifest_error: scan root '\\\\?\\C:\\x' must not be absolute"},
      {"['C:x']", "manifest_error: scan root 'C:x' is unreadable or does not exist"},
      {"[\"src\\u0000/../..\"]",
       std::string("manifest_error: scan root 'src\0/../..' is unreadable or does not exist", 70)},
  };
  // Windows drops a last name of only dots and spaces, so these name src and the project there;
  // Linux looks for the name as written, which is not there.
  for (const std::string root : {"src\\ ", "src/ ", "src\\...", " "}) {
    cases.push_back({"['" + root + "']", platform::kIsWindows
                                             ? "ok " + root
                                             : "manifest_error: scan root '" + root +
                                                   "' is unreadable or does not exist"});
  }
  if (!platform::kIsWindows) {
    // No such folder at the top of a Windows drive to count on.
    cases.push_back({"['/etc']", "manifest_error: scan root '/etc' escapes the repository root"});
  }
  for (const RootCase& c : cases) {
    EXPECT_EQ(load_with_roots(project, c.roots), c.expected) << c.roots;
  }
  // The project's own path, written from the top of its drive, lies inside the project.
  EXPECT_EQ(load_with_roots(project, "['" + from_top_of_drive(project.path() / "src") + "']"),
            "ok " + from_top_of_drive(project.path() / "src"));

  std::filesystem::remove(sibling);
}

TEST(LoadManifest, ScanRootsThroughLinksAreInsideWhereTheLinksLead) {
  TempProject outside;
  TempProject project;
  testing::FileLinks links;
  project.mkdir("src/sub");
  for (const auto& [target, name] :
       {std::pair{outside.path(), "away"}, std::pair{project.path() / "src", "here"}}) {
    if (auto reason = links.to_directory(target, project.path() / name)) {
      GTEST_SKIP() << *reason;
    }
  }
  EXPECT_EQ(load_with_roots(project, "['away']"),
            "manifest_error: scan root 'away' escapes the repository root");
  EXPECT_EQ(load_with_roots(project, "['here', 'here/sub']"), "ok here here/sub");
}

TEST(LoadManifest, ProjectDirectoryIsResolvedEvenWithoutScanRoots) {
  TempProject project;
  testing::FileLinks links;
  project.mkdir("real");
  project.write("real/quorvane.toml", "[scan]\nroots = []\n");
  if (auto reason = links.to_directory(project.path() / "real", project.path() / "link")) {
    GTEST_SKIP() << *reason;
  }
  const Result<Manifest> through_link = load_manifest(project.path() / "link");
  ASSERT_TRUE(through_link) << through_link.error();
  EXPECT_TRUE(through_link.value().scan_roots.empty());
}

TEST(IsTypeName, FollowsTheUpperCasePattern) {
  for (std::string_view yes : {"A", "FEATURE", "A-B", "A_B", "X9", "A-_-9"}) {
    EXPECT_TRUE(is_type_name(yes)) << yes;
  }
  for (std::string_view no :
       {"", "a", "Feature", "9A", "-A", "_A", "A B", " A", "A ", "É", "AÉ", "A.B", "A\n"}) {
    EXPECT_FALSE(is_type_name(no)) << no;
  }
}

TEST(ValidateSignoffs, KeepsEveryEntryAsWritten) {
  std::vector<Requirement> requirements(1);
  requirements[0].id = "A";
  const StageSet stages = all_stages({});
  const Result<std::vector<Signoff>> result = validate_signoffs(
      {{"A", "doc", " u "}, {"A", "doc", " u "}, {"A", "int", "\u3000x"}}, requirements, stages);
  ASSERT_TRUE(result) << result.error();
  ASSERT_EQ(result.value().size(), 3u);
  EXPECT_EQ(result.value()[0].url, " u ");
  EXPECT_EQ(result.value()[2].stage, "int");
  EXPECT_EQ(result.value()[2].url, "\u3000x");
}

}  // namespace
}  // namespace quorvane
