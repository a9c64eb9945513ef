#include "trace/builder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/stage_entry.hpp"
#include "manifest/priority.hpp"

namespace quorvane {
namespace {

Requirement requirement(std::string id, std::vector<std::string> required = {},
                        Priority priority = Priority::Must) {
  Requirement r;
  r.id = std::move(id);
  r.required_stages = std::move(required);
  r.priority = priority;
  return r;
}

Tag tag(std::string stage, std::string id, std::string path, std::uint64_t line) {
  return Tag{std::move(stage), std::move(id), std::move(path), line};
}

// One line per finding with every field, so a mismatch shows what differs.
std::string describe(const Finding& f) {
  std::string text =
      std::string(finding_code_word(f.code)) + " " + std::string(priority_word(f.severity));
  text += " id=" + f.requirement_id.value_or("-");
  text += " stage=" + f.stage.value_or("-");
  text += " criterion=" + f.criterion.value_or("-");
  text += " path=" + f.path.value_or("-");
  text += " line=" + (f.line ? std::to_string(*f.line) : std::string("-"));
  text += " | " + f.message;
  return text;
}

std::vector<std::string> describe(const std::vector<Finding>& findings) {
  std::vector<std::string> lines;
  for (const auto& f : findings) {
    lines.push_back(describe(f));
  }
  return lines;
}

std::string describe(const Evidence& e) {
  if (const auto* file = std::get_if<FileEvidence>(&e)) {
    return file->path + ":" + std::to_string(file->line);
  }
  return "signoff " + std::get<SignoffEvidence>(e).url;
}

std::vector<std::string> describe(const std::vector<Evidence>& evidence) {
  std::vector<std::string> lines;
  for (const auto& e : evidence) {
    lines.push_back(describe(e));
  }
  return lines;
}

const RequirementState& state_of(const TraceResult& trace, const std::string& id) {
  for (const auto& state : trace.requirements) {
    if (state.id == id) {
      return state;
    }
  }
  ADD_FAILURE() << "no state for " << id;
  static const RequirementState none;
  return none;
}

const StageState& stage_of(const TraceResult& trace, const std::string& id,
                           const std::string& stage) {
  return testing::stage_at(state_of(trace, id).stages, stage);
}

std::vector<std::string> codes(const TraceResult& trace) {
  std::vector<std::string> result;
  for (const auto& f : trace.findings) {
    result.push_back(std::string(finding_code_word(f.code)));
  }
  return result;
}

TEST(BuildTrace, WithoutRequirementsEveryTagIsUndeclared) {
  ScanResult scan;
  scan.tags = {tag("impl", "REQ-A", "a.rs", 1), tag("doc", "REQ-B", "b.md", 2)};
  const TraceResult trace = build_trace(Manifest{}, scan);

  EXPECT_TRUE(trace.requirements.empty());
  EXPECT_EQ(trace.stages, (std::vector<std::string>{"doc", "impl", "unit", "int"}));
  EXPECT_EQ(describe(trace.findings),
            (std::vector<std::string>{
                "undeclared_id must id=REQ-A stage=- criterion=- path=a.rs line=1 | Tag "
                "references an ID not declared in the manifest",
                "undeclared_id must id=REQ-B stage=- criterion=- path=b.md line=2 | Tag "
                "references an ID not declared in the manifest",
            }));
}

TEST(BuildTrace, FindingsOfEveryKindCarryTheirFieldsAndSortByCode) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A", {"impl"}, Priority::Could)};
  ScanResult scan;
  scan.tags = {tag("impl", "REQ-NOPE", "a.rs", 3)};
  scan.parse_errors = {ParseError{"z.rs", 7}};
  scan.scan_errors = {ScanError{"b/", "Permission denied (os error 13)"}};

  const TraceResult trace = build_trace(manifest, scan);

  // Severity comes from the requirement only for a missing stage; source findings are must.
  EXPECT_EQ(describe(trace.findings),
            (std::vector<std::string>{
                "missing_stage could id=REQ-A stage=impl criterion=- path=- line=- | Requirement "
                "is missing implementation evidence",
                "parse_error must id=- stage=- criterion=- path=z.rs line=7 | Tag-shaped token "
                "does not match [stage->REQ-ID]",
                "scan_error must id=- stage=- criterion=- path=b/ line=- | Permission denied (os "
                "error 13)",
                "undeclared_id must id=REQ-NOPE stage=- criterion=- path=a.rs line=3 | Tag "
                "references an ID not declared in the manifest",
            }));
}

TEST(BuildTrace, ParseErrorsFollowPathBytesThenLineNumbers) {
  ScanResult scan;
  for (const char* path : {"src/a.rs", "a/b.rs", "src/B.rs", "src/a", "a.rs", "src/\xc3\xa9"}) {
    scan.parse_errors.push_back(ParseError{path, 1});
  }
  scan.parse_errors.push_back(ParseError{"a.rs", 10});
  scan.parse_errors.push_back(ParseError{"a.rs", 9});

  const TraceResult trace = build_trace(Manifest{}, scan);

  std::vector<std::string> places;
  for (const auto& f : trace.findings) {
    places.push_back(*f.path + ":" + std::to_string(*f.line));
  }
  EXPECT_EQ(places,
            (std::vector<std::string>{"a.rs:1", "a.rs:9", "a.rs:10", "a/b.rs:1", "src/B.rs:1",
                                      "src/a:1", "src/a.rs:1", "src/\xc3\xa9:1"}));
}

TEST(BuildTrace, FindingsEqualInOrderKeepScanOrder) {
  ScanResult scan;
  // Same path, so only the message (not a sort key) tells them apart.
  scan.scan_errors = {ScanError{"src", "second reason"}, ScanError{"lib", "x"},
                      ScanError{"src", "first reason"}};
  const TraceResult trace = build_trace(Manifest{}, scan);

  ASSERT_EQ(trace.findings.size(), 3u);
  EXPECT_EQ(*trace.findings[0].path, "lib");
  EXPECT_EQ(trace.findings[1].message, "second reason");
  EXPECT_EQ(trace.findings[2].message, "first reason");
}

TEST(BuildTrace, UndeclaredTagsAreNeverMerged) {
  ScanResult scan;
  // Two stages on one line, then the same tag on another line.
  scan.tags = {tag("doc", "REQ-U", "a.rs", 5), tag("impl", "REQ-U", "a.rs", 5),
               tag("doc", "REQ-U", "a.rs", 6)};
  const TraceResult trace = build_trace(Manifest{}, scan);

  ASSERT_EQ(trace.findings.size(), 3u);
  EXPECT_EQ(*trace.findings[0].line, 5u);
  EXPECT_EQ(*trace.findings[1].line, 5u);
  EXPECT_EQ(*trace.findings[2].line, 6u);
}

TEST(BuildTrace, FileScannedTwiceDoublesFindingsButNotEvidence) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A", {"impl"})};
  ScanResult once;
  once.tags = {tag("impl", "REQ-A", "src/x.rs", 4), tag("impl", "REQ-U", "src/x.rs", 5)};
  once.parse_errors = {ParseError{"src/x.rs", 6}};
  once.scan_errors = {ScanError{"src/y.rs", "stream did not contain valid UTF-8"}};
  // Two overlapping scan roots reach the same files twice.
  ScanResult twice = once;
  twice.tags.insert(twice.tags.end(), once.tags.begin(), once.tags.end());
  twice.parse_errors.insert(twice.parse_errors.end(), once.parse_errors.begin(),
                            once.parse_errors.end());
  twice.scan_errors.insert(twice.scan_errors.end(), once.scan_errors.begin(),
                           once.scan_errors.end());

  const TraceResult trace = build_trace(manifest, twice);

  EXPECT_EQ(describe(stage_of(trace, "REQ-A", "impl").evidence),
            (std::vector<std::string>{"src/x.rs:4"}));
  EXPECT_EQ(codes(trace),
            (std::vector<std::string>{"parse_error", "parse_error", "scan_error", "scan_error",
                                      "undeclared_id", "undeclared_id"}));
}

TEST(BuildTrace, DeclaredTagOnAnUnrequiredStageIsEvidenceWithoutFinding) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A", {"doc"})};
  ScanResult scan;
  scan.tags = {tag("doc", "REQ-A", "a.md", 1), tag("int", "REQ-A", "t.rs", 2)};

  const TraceResult trace = build_trace(manifest, scan);

  EXPECT_TRUE(trace.findings.empty());
  EXPECT_TRUE(stage_of(trace, "REQ-A", "int").complete);
  EXPECT_EQ(describe(stage_of(trace, "REQ-A", "int").evidence),
            (std::vector<std::string>{"t.rs:2"}));
  EXPECT_FALSE(stage_of(trace, "REQ-A", "unit").complete);
  EXPECT_TRUE(stage_of(trace, "REQ-A", "unit").evidence.empty());
}

TEST(BuildTrace, SignoffAloneCompletesItsStage) {
  Manifest manifest;
  // An id of no tag form can still be signed off.
  manifest.requirements = {requirement("legacy item", {"doc", "int"})};
  manifest.signoffs = {Signoff{"legacy item", "int", "https://review/1"}};

  const TraceResult trace = build_trace(manifest, ScanResult{});

  EXPECT_TRUE(stage_of(trace, "legacy item", "int").complete);
  ASSERT_EQ(trace.findings.size(), 1u);
  EXPECT_EQ(*trace.findings[0].stage, "doc");
}

TEST(BuildTrace, SignoffUrlsAreMergedPerStageByExactBytes) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A")};
  manifest.signoffs = {
      Signoff{"REQ-A", "doc", "https://r/1"},   Signoff{"REQ-A", "doc", "https://r/1"},
      Signoff{"REQ-A", "doc", " https://r/1 "}, Signoff{"REQ-A", "unit", "https://r/1"},
      Signoff{"REQ-A", "doc", "https://r/1"},
  };

  const TraceResult trace = build_trace(manifest, ScanResult{});

  EXPECT_EQ(describe(stage_of(trace, "REQ-A", "doc").evidence),
            (std::vector<std::string>{"signoff  https://r/1 ", "signoff https://r/1"}));
  EXPECT_EQ(describe(stage_of(trace, "REQ-A", "unit").evidence),
            (std::vector<std::string>{"signoff https://r/1"}));
}

TEST(BuildTrace, EvidenceIsSortedAfterTheBuild) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A", {"impl"})};
  manifest.signoffs = {Signoff{"REQ-A", "impl", "https://b"},
                       Signoff{"REQ-A", "impl", "https://a"}};
  ScanResult scan;
  scan.tags = {tag("impl", "REQ-A", "src/b.rs", 12), tag("impl", "REQ-A", "src/b.rs", 3),
               tag("impl", "REQ-A", "src/a.rs", 40)};

  const TraceResult trace = build_trace(manifest, scan);

  EXPECT_EQ(describe(stage_of(trace, "REQ-A", "impl").evidence),
            (std::vector<std::string>{"src/a.rs:40", "src/b.rs:3", "src/b.rs:12",
                                      "signoff https://a", "signoff https://b"}));
}

TEST(BuildTrace, RepeatedRequiredStageGivesAdjacentFindings) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-B", {"unit", "doc", "unit"}),
                           requirement("REQ-A", {"unit"})};

  const TraceResult trace = build_trace(manifest, ScanResult{});

  std::vector<std::string> keys;
  for (const auto& f : trace.findings) {
    keys.push_back(*f.requirement_id + "/" + *f.stage);
  }
  EXPECT_EQ(keys,
            (std::vector<std::string>{"REQ-A/unit", "REQ-B/doc", "REQ-B/unit", "REQ-B/unit"}));
}

TEST(BuildTrace, MissingStagesTakeThePriorityAndSortByStage) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-S", {"unit", "impl"}, Priority::Should),
                           requirement("REQ-N", {})};
  ScanResult scan;
  scan.parse_errors = {ParseError{"a.rs", 1}};

  const TraceResult trace = build_trace(manifest, scan);

  EXPECT_EQ(describe(trace.findings),
            (std::vector<std::string>{
                "missing_stage should id=REQ-S stage=impl criterion=- path=- line=- | "
                "Requirement is missing implementation evidence",
                "missing_stage should id=REQ-S stage=unit criterion=- path=- line=- | "
                "Requirement is missing unit test evidence",
                "parse_error must id=- stage=- criterion=- path=a.rs line=1 | Tag-shaped token "
                "does not match [stage->REQ-ID]",
            }));
}

TEST(BuildTrace, MissingStageMessageNamesTheStage) {
  Manifest manifest;
  manifest.stages = {StageDef{"review", std::nullopt}, StageDef{"docs", std::nullopt}};
  manifest.requirements = {requirement("REQ-A", {"doc", "docs", "int", "review"})};

  const TraceResult trace = build_trace(manifest, ScanResult{});

  std::vector<std::string> messages;
  for (const auto& f : trace.findings) {
    messages.push_back(*f.stage + ": " + f.message);
  }
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "doc: Requirement is missing documentation evidence",
                          "docs: Requirement is missing docs evidence",
                          "int: Requirement is missing integration test evidence",
                          "review: Requirement is missing review evidence",
                      }));
}

TEST(BuildTrace, StatesSortByIdAndHoldEveryKnownStage) {
  Manifest manifest;
  manifest.stages = {StageDef{"beta", std::nullopt}, StageDef{"review", "Peer review"}};
  Requirement b = requirement("REQ-b", {"unit", "unit"}, Priority::Could);
  b.title = "Second";
  b.type = "FUNC";
  manifest.requirements = {b, requirement("REQ-B"), requirement("")};
  ScanResult scan;
  scan.tags = {tag("review", "REQ-B", "r.md", 1)};

  const TraceResult trace = build_trace(manifest, scan);

  EXPECT_EQ(trace.stages,
            (std::vector<std::string>{"doc", "impl", "unit", "int", "beta", "review"}));
  std::vector<std::string> ids;
  for (const auto& state : trace.requirements) {
    ids.push_back(state.id);
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"", "REQ-B", "REQ-b"}));

  const RequirementState& copied = state_of(trace, "REQ-b");
  EXPECT_EQ(copied.title, std::optional<std::string>("Second"));
  EXPECT_EQ(copied.type, std::optional<std::string>("FUNC"));
  EXPECT_EQ(copied.required_stages, (std::vector<std::string>{"unit", "unit"}));
  std::vector<std::string> keys;
  for (const auto& [name, stage] : copied.stages) {
    keys.push_back(name);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"beta", "doc", "impl", "int", "review", "unit"}));
  EXPECT_FALSE(state_of(trace, "").title.has_value());
  EXPECT_TRUE(stage_of(trace, "REQ-B", "review").complete);
}

using BrokenRuleDeathTest = ::testing::Test;

TEST_F(BrokenRuleDeathTest, RequiredStageOutsideTheStageListStops) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A", {"nope"})};
  EXPECT_EXIT(build_trace(manifest, ScanResult{}), ::testing::ExitedWithCode(101), "stage in map");
}

TEST_F(BrokenRuleDeathTest, RepeatedRequirementIdStops) {
  Manifest manifest;
  manifest.requirements = {requirement("REQ-A"), requirement("REQ-A")};
  EXPECT_EXIT(build_trace(manifest, ScanResult{}), ::testing::ExitedWithCode(101), "unique id");
}

TEST_F(BrokenRuleDeathTest, SignoffForUndeclaredRequirementStops) {
  Manifest manifest;
  manifest.signoffs = {Signoff{"REQ-GHOST", "doc", "https://x"}};
  EXPECT_EXIT(build_trace(manifest, ScanResult{}), ::testing::ExitedWithCode(101),
              "signoff requirement declared");
}

}  // namespace
}  // namespace quorvane
