#include <gtest/gtest.h>

#include "output/requirement_text.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

const std::vector<std::string> kStages{"doc", "impl", "unit", "int", "review"};

TEST(RequirementText, ShowsEveryStageWithItsOwnMarkEvidenceAndFindings) {
  const RequirementState state =
      with_title(make_state("REQ-LOGIN-001", {"doc", "impl"},
                            {{"int",
                              {file_at("tests/it.py", 4), file_at("tests/it.py", 12),
                               signoff("https://ci.example/run/7")}},
                             {"review", {signoff("https://review.example/1")}}},
                            kStages),
                 "User can log in");
  const Finding doc = missing_stage("REQ-LOGIN-001", "doc", "Requirement is missing doc");
  const Finding impl = missing_stage("REQ-LOGIN-001", "impl", "Requirement is missing impl");
  const std::string expected =
      "REQ-LOGIN-001 \u2014 User can log in\n"
      "  required stages: [doc, impl]\n"
      "  [--] doc\n"
      "  [--] impl\n"
      "  [--] unit (not required)\n"
      "  [OK] int (not required)\n"
      "        tests/it.py:4\n"
      "        tests/it.py:12\n"
      "        https://ci.example/run/7\n"
      "  [OK] review (not required)\n"
      "        https://review.example/1\n"
      "  findings:\n"
      "    [must] missing_stage REQ-LOGIN-001 stage=doc \u2014 Requirement is missing doc\n"
      "    [must] missing_stage REQ-LOGIN-001 stage=impl \u2014 Requirement is missing impl\n";
  EXPECT_EQ(render_requirement_text(state, {&doc, &impl}, kStages), expected);
}

TEST(RequirementText, CompleteRequirementWithoutTitleEndsAfterItsLastStage) {
  const RequirementState state =
      make_state("REQ-A", {"doc", "doc"}, {{"doc", {file_at("README.md", 2)}}}, kStages);
  const std::string expected =
      "REQ-A\n"
      "  required stages: [doc, doc]\n"
      "  [OK] doc\n"
      "        README.md:2\n"
      "  [--] impl (not required)\n"
      "  [--] unit (not required)\n"
      "  [--] int (not required)\n"
      "  [--] review (not required)\n";
  EXPECT_EQ(render_requirement_text(state, {}, kStages), expected);
}

TEST(RequirementText, NoRequiredStagesMarksEveryStageNotRequired) {
  const RequirementState state = make_state("REQ-B", {});
  const std::string expected =
      "REQ-B\n"
      "  required stages: []\n"
      "  [--] doc (not required)\n"
      "  [--] impl (not required)\n"
      "  [--] unit (not required)\n"
      "  [--] int (not required)\n";
  EXPECT_EQ(render_requirement_text(state, {}, kBuiltinStages), expected);
}

}  // namespace
}  // namespace quorvane::testing
