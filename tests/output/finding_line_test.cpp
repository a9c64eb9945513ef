#include <gtest/gtest.h>

#include "output/trace_text.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

struct FindingLineCase {
  const char* name;
  Finding finding;
  std::string expected;
};

Finding everything_present() {
  Finding finding;
  finding.code = FindingCode::UndeclaredId;
  finding.severity = Priority::Could;
  finding.requirement_id = "REQ-A";
  finding.stage = "impl";
  finding.criterion = "length";
  finding.path = "src/a.rs";
  finding.line = 12;
  finding.message = "All pieces";
  return finding;
}

Finding line_without_path() {
  Finding finding;
  finding.code = FindingCode::ScanError;
  finding.line = 5;
  finding.message = "m";
  return finding;
}

TEST(FindingLine, WritesThePiecesOfEachKindOfFinding) {
  const std::vector<FindingLineCase> cases{
      {"missing stage has no path",
       missing_stage("REQ-A", "impl", "Requirement is missing implementation evidence"),
       "[must] missing_stage REQ-A stage=impl \u2014 Requirement is missing implementation "
       "evidence"},
      {"parse error", parse_error("src/a.cpp", 9),
       "[must] parse_error src/a.cpp:9 \u2014 Tag-shaped token does not match [stage->REQ-ID]"},
      {"scan error path has no colon", scan_error("data/x.rs", "Permission denied (os error 13)"),
       "[must] scan_error data/x.rs \u2014 Permission denied (os error 13)"},
      {"undeclared id", undeclared_id("REQ-X", "src/a.rs", 3),
       "[must] undeclared_id REQ-X src/a.rs:3 \u2014 Tag references an ID not declared in the "
       "manifest"},
      {"title finding shows criterion",
       requirement_quality("REQ-B", "length", "Title is too long", Priority::Should),
       "[should] requirement_quality REQ-B criterion=length \u2014 Title is too long"},
      {"could severity", missing_stage("REQ-C", "doc", "m", Priority::Could),
       "[could] missing_stage REQ-C stage=doc \u2014 m"},
      {"criterion before stage before location", everything_present(),
       "[could] undeclared_id REQ-A criterion=length stage=impl src/a.rs:12 \u2014 All pieces"},
      {"line without path is not shown", line_without_path(), "[must] scan_error \u2014 m"},
  };
  for (const FindingLineCase& c : cases) {
    EXPECT_EQ(finding_line(c.finding), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace quorvane::testing
