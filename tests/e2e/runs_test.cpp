// End-to-end runs of list, check, trace, lint and review on small fixture projects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/os_texts.hpp"
#include "helpers/temp_project.hpp"

namespace quorvane {
namespace {

using testing::ProcessResult;
using testing::run_quorvane;
using testing::TempProject;

constexpr const char* kMixedManifest = R"(
[scan]
roots = ["src"]

[stages.review]

[[requirements]]
id = "REQ-B"
title = "Second"
type = "FEATURE"

[[requirements]]
id = "REQ-A"
title = "First"
required_stages = ["impl"]
priority = "should"

[[requirements]]
id = "REQ-C"
type = "FEATURE"
required_stages = ["review"]
priority = "could"

[[signoffs]]
requirement = "REQ-C"
stage = "review"
url = "https://x/1"
)";

constexpr const char* kMixedSource =
    "// [impl->REQ-A]\n"
    "// [doc->REQ-B] [impl->REQ-B]\n"
    "// [impl->REQ-X]\n"
    "// [impl -> REQ-A]\n";

// The finding lines of the mixed project that every selection keeps.
const std::string kMissingUnitLine =
    "  [must] missing_stage REQ-B stage=unit \u2014 Requirement is missing unit test evidence\n";
const std::string kSourceFindingLines =
    "  [must] parse_error src/a.rs:4 \u2014 Tag-shaped token does not match [stage->REQ-ID]\n"
    "  [must] undeclared_id REQ-X src/a.rs:3 \u2014 Tag references an ID not declared in the "
    "manifest\n";

// A project that shows grouping, untyped first, a custom stage, a sign-off and every trace code.
struct MixedProject {
  TempProject project;
  MixedProject() {
    project.write("quorvane.toml", kMixedManifest);
    project.write("src/a.rs", kMixedSource);
    project.write("src/notes.txt", "// [impl->REQ-NOT-SCANNED]\n");
  }
  ProcessResult run(const std::vector<std::string>& args) const {
    return run_quorvane(project.path(), args);
  }
};

void expect_error(const ProcessResult& result, const std::string& message) {
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, message + "\n");
}

TEST(ListRun, TextReportGroupsByTypeWithUntypedFirst) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "3 requirements: 2 complete, 1 incomplete, 3 findings\n"
            "\n"
            "(untyped):\n"
            "  [OK] REQ-A  required: [impl]  stages: -doc +impl -unit -int -review\n"
            "       First\n"
            "\n"
            "FEATURE:\n"
            "  [--] REQ-B  required: [doc, impl, unit]  stages: +doc +impl -unit -int -review\n"
            "       Second\n"
            "  [OK] REQ-C  required: [review]  stages: -doc -impl -unit -int +review\n"
            "\n"
            "Findings:\n" +
                kMissingUnitLine + kSourceFindingLines);
}

TEST(ListRun, MissingFilterKeepsWholeTraceCountsAndSourceFindings) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"list", "--missing", "unit"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "3 requirements: 2 complete, 1 incomplete, 3 findings\n"
            "\n"
            "FEATURE:\n"
            "  [--] REQ-B  required: [doc, impl, unit]  stages: +doc +impl -unit -int -review\n"
            "       Second\n"
            "\n"
            "Findings:\n" +
                kMissingUnitLine + kSourceFindingLines);
}

TEST(ListRun, StageNobodyRequiresSelectsNothingButKeepsSourceFindings) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"list", "--missing", "int"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "3 requirements: 2 complete, 1 incomplete, 2 findings\n"
            "\n"
            "Findings:\n" +
                kSourceFindingLines);
}

TEST(ListRun, ArgumentErrorsInTheirOrder) {
  MixedProject fixture;
  const std::string missing =
      "invalid argument: --missing expects one of doc, impl, unit, int, review (got 'Doc')";
  const std::string type = "invalid argument: --type expects a declared requirement type (got 'X')";
  expect_error(fixture.run({"list", "--missing", "Doc"}), missing);
  expect_error(fixture.run({"list", "--type", "X", "--missing", "Doc"}), missing);
  expect_error(fixture.run({"list", "--type", "X"}), type);
  expect_error(fixture.run({"list", "--type", "FEATURE", "--type", "X"}), type);
}

TEST(TraceRun, TextDetailShowsEveryStageAndOwnFindings) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"trace", "REQ-B"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "REQ-B \u2014 Second\n"
            "  required stages: [doc, impl, unit]\n"
            "  [OK] doc\n"
            "        src/a.rs:2\n"
            "  [OK] impl\n"
            "        src/a.rs:2\n"
            "  [--] unit\n"
            "  [--] int (not required)\n"
            "  [--] review (not required)\n"
            "  findings:\n"
            "    [must] missing_stage REQ-B stage=unit \u2014 Requirement is missing unit test "
            "evidence\n");
}

TEST(TraceRun, JsonNarrowsToOneRequirementWithWholeTraceSummary) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"trace", "--json", "REQ-C"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, R"({
  "schemaVersion": 1,
  "summary": {
    "requirementCount": 3,
    "completeCount": 2,
    "incompleteCount": 1,
    "findingCount": 0,
    "countsByType": {
      "FEATURE": 2
    }
  },
  "requirements": [
    {
      "id": "REQ-C",
      "type": "FEATURE",
      "requiredStages": [
        "review"
      ],
      "stages": {
        "doc": {
          "complete": false,
          "evidence": []
        },
        "impl": {
          "complete": false,
          "evidence": []
        },
        "int": {
          "complete": false,
          "evidence": []
        },
        "review": {
          "complete": true,
          "evidence": [
            {
              "url": "https://x/1"
            }
          ]
        },
        "unit": {
          "complete": false,
          "evidence": []
        }
      }
    }
  ],
  "findings": []
}
)");
}

TEST(TraceRun, UnknownOrUndeclaredIdIsATraceError) {
  MixedProject fixture;
  expect_error(fixture.run({"trace", "REQ-b"}),
               "trace error: requirement 'REQ-b' is not declared in the manifest");
  expect_error(fixture.run({"trace", "REQ-X"}),
               "trace error: requirement 'REQ-X' is not declared in the manifest");
}

TEST(CheckRun, SourceFindingsFailAtTheDefaultThreshold) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"check", "--json"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  ASSERT_FALSE(result.out.empty());
  EXPECT_EQ(result.out.substr(0, 2), "{\n");
  EXPECT_EQ(result.out.substr(result.out.size() - 2), "}\n");
}

// Each row: the priority of the only requirement (missing its impl stage) and the status
// of check at each threshold.
struct ThresholdCase {
  const char* priority;
  int status_must;
  int status_should;
  int status_could;
};

TEST(CheckRun, StatusFollowsTheThresholdOverRetainedFindings) {
  const ThresholdCase cases[] = {
      {"must", 1, 1, 1},
      {"should", 0, 1, 1},
      {"could", 0, 0, 1},
  };
  for (const ThresholdCase& row : cases) {
    TempProject project;
    project.write("quorvane.toml", std::string("[[requirements]]\nid = \"REQ-1\"\n"
                                               "required_stages = [\"impl\"]\npriority = \"") +
                                       row.priority + "\"\n");
    SCOPED_TRACE(row.priority);
    EXPECT_EQ(run_quorvane(project.path(), {"check"}).status, row.status_must);
    EXPECT_EQ(run_quorvane(project.path(), {"check", "--fail-on", "should"}).status,
              row.status_should);
    EXPECT_EQ(run_quorvane(project.path(), {"check", "--fail-on", "could"}).status,
              row.status_could);
  }
}

TEST(CheckRun, FindingsOfUnselectedRequirementsDoNotCount) {
  TempProject project;
  project.write("quorvane.toml",
                "[[requirements]]\nid = \"REQ-1\"\ntype = \"A\"\nrequired_stages = []\n"
                "[[requirements]]\nid = \"REQ-2\"\ntype = \"B\"\nrequired_stages = [\"impl\"]\n");
  const ProcessResult selected = run_quorvane(project.path(), {"check", "--type", "A"});
  EXPECT_EQ(selected.status, 0);
  EXPECT_EQ(selected.out,
            "2 requirements: 1 complete, 1 incomplete, 0 findings\n"
            "\n"
            "A:\n"
            "  [OK] REQ-1  required: []  stages: -doc -impl -unit -int\n");
  EXPECT_EQ(run_quorvane(project.path(), {"check", "--type", "B"}).status, 1);
}

TEST(CheckRun, FailOnIsTestedBeforeTheManifest) {
  TempProject empty_dir;
  expect_error(run_quorvane(empty_dir.path(), {"check", "--fail-on", "MUST"}),
               "invalid argument: --fail-on expects must, should, or could (got 'MUST')");
  expect_error(run_quorvane(empty_dir.path(), {"check", "--fail-on", " must"}),
               "invalid argument: --fail-on expects must, should, or could (got ' must')");
  expect_error(run_quorvane(empty_dir.path(), {"check"}),
               "manifest_error: cannot read quorvane.toml (" +
                   testing::expected_os_text("No such file or directory (os error 2)",
                                             testing::win32_error::kFileNotFound) +
                   ")");
}

TEST(AllRuns, FaultyManifestIsReportedByEverySubcommand) {
  TempProject project;
  project.write("quorvane.toml", "[[requirements]]\nid = \"REQ-1\"\npriority = \"Must\"\n");
  const std::string message =
      "manifest_error: invalid priority 'Must' in requirements[REQ-1] (expected must, should, or "
      "could)";
  const std::vector<std::vector<std::string>> commands = {
      {"list"}, {"trace", "REQ-1"}, {"check"}, {"lint"}, {"review"}, {"list", "--json"}};
  for (const auto& args : commands) {
    SCOPED_TRACE(args.front());
    expect_error(run_quorvane(project.path(), args), message);
  }
}

TEST(EmptyTrace, HeaderAloneAndEmptyJsonLists) {
  TempProject project;
  project.write("quorvane.toml", "");
  const ProcessResult text = run_quorvane(project.path(), {"list"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "0 requirements: 0 complete, 0 incomplete, 0 findings\n");
  const ProcessResult json = run_quorvane(project.path(), {"check", "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out, R"({
  "schemaVersion": 1,
  "summary": {
    "requirementCount": 0,
    "completeCount": 0,
    "incompleteCount": 0,
    "findingCount": 0
  },
  "requirements": [],
  "findings": []
}
)");
}

TEST(LintRun, TitleFindingsSetStatusOneAndPrecedeThePrompt) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"lint"});
  EXPECT_EQ(result.status, 1);
  const std::string head =
      "Requirement quality findings (2); 3 requirements queued for agent review:\n"
      "  [should] requirement_quality REQ-A criterion=length \u2014 title is 1 word(s); want "
      "3..=25\n"
      "  [must] requirement_quality REQ-B criterion=length \u2014 title is 1 word(s); want "
      "3..=25\n"
      "\n"
      "# Requirement quality review\n";
  EXPECT_EQ(result.out.substr(0, head.size()), head);

  const ProcessResult json = fixture.run({"lint", "--json"});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("      \"criterion\": \"length\",\n"), std::string::npos);
  EXPECT_NE(json.out.find("  \"agentPrompt\": \"# Requirement quality review\\n\\n"),
            std::string::npos);
}

TEST(LintRun, CleanTitlesEndWithStatusZero) {
  TempProject project;
  project.write("quorvane.toml",
                "[[requirements]]\nid = \"REQ-1\"\ntitle = \"Users sign in with email\"\n");
  const ProcessResult result = run_quorvane(project.path(), {"lint"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.substr(0, result.out.find('\n') + 2),
            "Requirement quality: no deterministic findings; 1 requirement queued for agent "
            "review.\n\n");
}

TEST(ReviewRun, ListsFileEvidenceAndEndsWithStatusZero) {
  MixedProject fixture;
  const ProcessResult result = fixture.run({"review"});
  EXPECT_EQ(result.status, 0);
  const std::string head =
      "Tag placement review: no deterministic findings; 3 tag placements queued for agent "
      "review.\n\n# Tag placement review\n";
  EXPECT_EQ(result.out.substr(0, head.size()), head);
  EXPECT_NE(result.out.find("### REQ-A \u2014 First\n- impl  src/a.rs:1\n\n"
                            "### REQ-B \u2014 Second\n- doc  src/a.rs:2\n- impl  src/a.rs:2\n\n"),
            std::string::npos);
  EXPECT_EQ(result.out.find("https://x/1"), std::string::npos);

  const ProcessResult json = fixture.run({"review", "--json"});
  EXPECT_EQ(json.status, 0);
  const std::string json_head =
      "{\n  \"schemaVersion\": 1,\n  \"findings\": [],\n  \"agentPrompt\": \"# Tag placement";
  EXPECT_EQ(json.out.substr(0, json_head.size()), json_head);
}

TEST(Demo, BundledExampleChecksCleanAtTheDefaultThreshold) {
  const ProcessResult result =
      run_quorvane(std::string(QUORVANE_SOURCE_DIR) + "/examples/demo", {"check"});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
            "4 requirements: 3 complete, 1 incomplete, 1 findings");
}

}  // namespace
}  // namespace quorvane
