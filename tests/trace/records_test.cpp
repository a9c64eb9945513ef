#include "trace/records.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "helpers/stage_entry.hpp"

namespace quorvane {
namespace {

Evidence file(std::string path, std::uint64_t line) {
  return FileEvidence{std::move(path), line};
}
Evidence signoff(std::string url) {
  return SignoffEvidence{std::move(url)};
}

struct EvidenceOrderCase {
  const char* name;
  Evidence earlier;
  Evidence later;
};

TEST(EvidenceOrder, EarlierEntrySortsFirstAndNeverTheOtherWay) {
  const std::vector<EvidenceOrderCase> cases = {
      {"file before signoff whatever the texts", file("zzz", 99), signoff("a")},
      {"upper case before lower case", file("src/B.rs", 1), file("src/a.rs", 1)},
      {"full stop before slash", file("a.rs", 1), file("a/b.rs", 1)},
      {"proper prefix first", file("src/a", 1), file("src/a.rs", 1)},
      {"bytes above 0x7f are unsigned", file("src/z.rs", 1), file("src/\xc3\xa9.rs", 1)},
      {"path settles before line", file("a.rs", 500), file("b.rs", 2)},
      {"lines as numbers", file("a.rs", 9), file("a.rs", 10)},
      {"urls by bytes", signoff("https://B"), signoff("https://a")},
      {"url prefix first", signoff("https://a"), signoff("https://a/b")},
      {"url bytes above 0x7f are unsigned", signoff("~"), signoff("\x80")},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(evidence_less(c.earlier, c.later)) << c.name;
    EXPECT_FALSE(evidence_less(c.later, c.earlier)) << c.name;
  }
}

TEST(EvidenceOrder, EqualEntriesAreNotOrdered) {
  EXPECT_FALSE(evidence_less(file("a.rs", 3), file("a.rs", 3)));
  EXPECT_FALSE(evidence_less(signoff("u"), signoff("u")));
}

TEST(EvidenceEquality, NeedsSameVariantAndFields) {
  EXPECT_EQ(file("a.rs", 3), file("a.rs", 3));
  EXPECT_NE(file("a.rs", 3), file("a.rs", 4));
  EXPECT_NE(file("a.rs", 3), file("A.rs", 3));
  EXPECT_EQ(signoff(" u "), signoff(" u "));
  EXPECT_NE(signoff(" u "), signoff("u"));
  // A sign-off whose url reads like a path is still not file evidence.
  EXPECT_NE(file("a.rs", 0), signoff("a.rs"));
}

Finding finding(FindingCode code) {
  Finding f;
  f.code = code;
  return f;
}

Finding with_id(Finding f, std::string id) {
  f.requirement_id = std::move(id);
  return f;
}
Finding with_path(Finding f, std::string path) {
  f.path = std::move(path);
  return f;
}
Finding with_line(Finding f, std::uint64_t line) {
  f.line = line;
  return f;
}
Finding with_stage(Finding f, std::string stage) {
  f.stage = std::move(stage);
  return f;
}
// Built by moves: g++ 12 at -O3 warns falsely about assigning a literal to a copied string.
Finding with_details(Finding f, Priority severity, std::string criterion, std::string message) {
  f.severity = severity;
  f.criterion = std::move(criterion);
  f.message = std::move(message);
  return f;
}

struct FindingOrderCase {
  const char* name;
  Finding earlier;
  Finding later;
};

TEST(FindingCodeWord, IsTheWordThatReportsWrite) {
  const std::vector<std::pair<FindingCode, std::string_view>> cases = {
      {FindingCode::MissingStage, "missing_stage"},
      {FindingCode::ParseError, "parse_error"},
      {FindingCode::RequirementQuality, "requirement_quality"},
      {FindingCode::ScanError, "scan_error"},
      {FindingCode::UndeclaredId, "undeclared_id"},
  };
  for (const auto& [code, word] : cases) {
    EXPECT_EQ(finding_code_word(code), word) << static_cast<int>(code);
  }
}

TEST(FindingOrder, EarlierFindingSortsFirstAndNeverTheOtherWay) {
  const Finding base = finding(FindingCode::ParseError);
  const std::vector<FindingOrderCase> cases = {
      {"missing_stage before parse_error", with_id(finding(FindingCode::MissingStage), "REQ-Z"),
       with_path(finding(FindingCode::ParseError), "a")},
      {"parse_error before scan_error",
       with_path(with_line(finding(FindingCode::ParseError), 9), "z"),
       with_path(finding(FindingCode::ScanError), "a")},
      {"parse_error before requirement_quality whatever the id",
       with_id(finding(FindingCode::ParseError), "REQ-Z"),
       with_id(finding(FindingCode::RequirementQuality), "REQ-A")},
      {"requirement_quality before scan_error",
       with_id(finding(FindingCode::RequirementQuality), "REQ-Z"), finding(FindingCode::ScanError)},
      {"scan_error before undeclared_id whatever the path",
       with_path(finding(FindingCode::ScanError), "z"),
       with_line(with_path(with_id(finding(FindingCode::UndeclaredId), "REQ-A"), "a"), 1)},
      {"absent id first", with_path(base, "z"), with_id(base, "")},
      {"ids as bytes", with_id(base, "REQ-B"), with_id(base, "REQ-a")},
      {"id settles before path", with_path(with_id(base, "REQ-A"), "z"),
       with_path(with_id(base, "REQ-B"), "a")},
      {"absent path first", with_line(base, 99), with_path(base, "")},
      {"path upper case first", with_path(base, "src/B.rs"), with_path(base, "src/a.rs")},
      {"path full stop before slash", with_path(base, "a.rs"), with_path(base, "a/b.rs")},
      {"path prefix first", with_path(base, "src/a"), with_path(base, "src/a.rs")},
      {"path bytes above 0x7f are unsigned", with_path(base, "src/z"), with_path(base, "src/\xff")},
      {"path settles before line", with_line(with_path(base, "a"), 10),
       with_line(with_path(base, "b"), 9)},
      {"absent line first", with_stage(base, "unit"), with_line(base, 0)},
      {"lines as numbers", with_line(base, 9), with_line(base, 10)},
      {"line settles before stage", with_stage(with_line(base, 1), "unit"),
       with_stage(with_line(base, 2), "doc")},
      {"absent stage first", base, with_stage(base, "doc")},
      {"stages as bytes", with_stage(base, "impl"), with_stage(base, "unit")},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(finding_less(c.earlier, c.later)) << c.name;
    EXPECT_FALSE(finding_less(c.later, c.earlier)) << c.name;
  }
}

TEST(FindingOrder, SeverityCriterionAndMessageDoNotCount) {
  const Finding base =
      with_line(with_path(with_id(finding(FindingCode::RequirementQuality), "REQ-A"), "p"), 4);
  const Finding a = with_details(base, Priority::Could, "length", "a");
  const Finding b = with_details(base, Priority::Must, "contains-and", "b");
  EXPECT_FALSE(finding_less(a, b));
  EXPECT_FALSE(finding_less(b, a));
}

RequirementState state_with(std::vector<std::string> required,
                            std::vector<std::pair<std::string, bool>> stages) {
  RequirementState state;
  state.id = "REQ-X";
  state.required_stages = std::move(required);
  for (auto& [name, complete] : stages) {
    StageState stage;
    stage.complete = complete;
    if (complete) {
      stage.evidence.push_back(SignoffEvidence{"u"});
    }
    state.stages.emplace(name, std::move(stage));
  }
  return state;
}

TEST(Completeness, FollowsEveryRequiredStage) {
  struct Case {
    const char* name;
    RequirementState state;
    bool complete;
  };
  const std::vector<Case> cases = {
      {"no required stages, no evidence", state_with({}, {{"doc", false}, {"impl", false}}), true},
      {"doc twice, doc complete", state_with({"doc", "doc"}, {{"doc", true}, {"impl", false}}),
       true},
      {"doc twice, doc incomplete", state_with({"doc", "doc"}, {{"doc", false}, {"impl", true}}),
       false},
      {"one of two incomplete", state_with({"doc", "impl"}, {{"doc", true}, {"impl", false}}),
       false},
      {"required stage missing from the map", state_with({"doc", "int"}, {{"doc", true}}), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_complete(c.state), c.complete) << c.name;
  }
}

TEST(Completeness, ReadsTheStoredFlagNotTheEvidence) {
  // The flag is fixed when the trace is built; narrowing the evidence later must not change it.
  RequirementState state = state_with({"doc"}, {{"doc", true}});
  testing::stage_entry(state.stages, "doc").evidence.clear();
  EXPECT_TRUE(is_complete(state));
}

}  // namespace
}  // namespace quorvane
