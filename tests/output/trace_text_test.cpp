#include <gtest/gtest.h>

#include "output/trace_text.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

TraceResult untyped_trace() {
  TraceResult trace;
  trace.stages = kBuiltinStages;
  trace.requirements = {
      with_title(make_state("REQ-A", {"doc", "impl"},
                            {{"doc", {file_at("docs/a.md", 1)}}, {"impl", {file_at("a.c", 2)}}}),
                 "Login works"),
      make_state("REQ-B", {"doc", "doc"}),
      with_title(make_state("REQ-C", {}), ""),
      make_state("REQ-D", {"unit"}, {{"int", {file_at("t/it.c", 4)}}}),
  };
  trace.findings = {
      missing_stage("REQ-B", "doc", "Requirement is missing documentation evidence"),
      parse_error("src/a.cpp", 9),
      scan_error("data/x.bin", "Permission denied (os error 13)"),
      undeclared_id("REQ-X", "src/a.rs", 3),
  };
  return trace;
}

TEST(TraceText, WritesUngroupedRequirementsTitlesAndFindings) {
  const TraceResult trace = untyped_trace();
  const std::string expected =
      "4 requirements: 2 complete, 2 incomplete, 4 findings\n"
      "  [OK] REQ-A  required: [doc, impl]  stages: +doc +impl -unit -int\n"
      "       Login works\n"
      "  [--] REQ-B  required: [doc, doc]  stages: -doc -impl -unit -int\n"
      "  [OK] REQ-C  required: []  stages: -doc -impl -unit -int\n"
      "       \n"
      "  [--] REQ-D  required: [unit]  stages: -doc -impl -unit +int\n"
      "\n"
      "Findings:\n"
      "  [must] missing_stage REQ-B stage=doc \u2014 Requirement is missing documentation "
      "evidence\n"
      "  [must] parse_error src/a.cpp:9 \u2014 Tag-shaped token does not match [stage->REQ-ID]\n"
      "  [must] scan_error data/x.bin \u2014 Permission denied (os error 13)\n"
      "  [must] undeclared_id REQ-X src/a.rs:3 \u2014 Tag references an ID not declared in the "
      "manifest\n";
  EXPECT_EQ(render_trace_text(trace, all_states(trace), all_findings(trace)), expected);
}

TEST(TraceText, CountsTheWholeTraceButOnlyTheShownFindings) {
  const TraceResult trace = untyped_trace();
  const StateSelection shown{&trace.requirements[1], &trace.requirements[2]};
  const FindingSelection findings{&trace.findings[2]};
  const std::string expected =
      "4 requirements: 2 complete, 2 incomplete, 1 findings\n"
      "  [--] REQ-B  required: [doc, doc]  stages: -doc -impl -unit -int\n"
      "  [OK] REQ-C  required: []  stages: -doc -impl -unit -int\n"
      "       \n"
      "\n"
      "Findings:\n"
      "  [must] scan_error data/x.bin \u2014 Permission denied (os error 13)\n";
  EXPECT_EQ(render_trace_text(trace, shown, findings), expected);
}

TEST(TraceText, EmptyTraceGivesTheHeaderAlone) {
  const TraceResult trace{{}, {}, kBuiltinStages};
  EXPECT_EQ(render_trace_text(trace, {}, {}),
            "0 requirements: 0 complete, 0 incomplete, 0 findings\n");
}

TEST(TraceText, GroupsByTypeWithUntypedFirstAndRepeatsAReturningLabel) {
  TraceResult trace;
  trace.stages = kBuiltinStages;
  trace.requirements = {
      with_type(make_state("REQ-F1", {"impl"}, {{"impl", {file_at("f.c", 1)}}}), "FEAT"),
      with_type(make_state("REQ-F2", {"impl"}), "FEAT"),
      with_type(make_state("REQ-F3", {}), "FEAT"),
      with_type(with_title(make_state("REQ-S", {"doc"}), "Safe stop"), "SAFETY"),
      with_title(make_state("REQ-U", {"doc"}), "Untyped one"),
  };
  trace.findings = {missing_stage("REQ-S", "doc", "m")};
  // The run's order, with a label that comes back after another one.
  const StateSelection shown{&trace.requirements[4], &trace.requirements[0], &trace.requirements[1],
                             &trace.requirements[3], &trace.requirements[2]};
  const std::string expected =
      "5 requirements: 2 complete, 3 incomplete, 0 findings\n"
      "\n"
      "(untyped):\n"
      "  [--] REQ-U  required: [doc]  stages: -doc -impl -unit -int\n"
      "       Untyped one\n"
      "\n"
      "FEAT:\n"
      "  [OK] REQ-F1  required: [impl]  stages: -doc +impl -unit -int\n"
      "  [--] REQ-F2  required: [impl]  stages: -doc -impl -unit -int\n"
      "\n"
      "SAFETY:\n"
      "  [--] REQ-S  required: [doc]  stages: -doc -impl -unit -int\n"
      "       Safe stop\n"
      "\n"
      "FEAT:\n"
      "  [OK] REQ-F3  required: []  stages: -doc -impl -unit -int\n";
  EXPECT_EQ(render_trace_text(trace, shown, {}), expected);
}

TEST(TraceText, GroupingDependsOnTheShownStatesOnly) {
  TraceResult trace;
  trace.stages = kBuiltinStages;
  trace.requirements = {with_type(make_state("REQ-A", {}), "FEAT"), make_state("REQ-B", {})};
  const StateSelection shown{&trace.requirements[1]};
  EXPECT_EQ(render_trace_text(trace, shown, {}),
            "2 requirements: 2 complete, 0 incomplete, 0 findings\n"
            "  [OK] REQ-B  required: []  stages: -doc -impl -unit -int\n");
}

TEST(TraceText, StageTokensFollowTheStageListAndSkipStagesTheMapLacks) {
  const std::vector<std::string> stages{"doc", "impl", "unit", "int", "alpha", "zeta"};
  TraceResult trace;
  trace.stages = stages;
  RequirementState state = make_state(
      "REQ-A", {"int", "zeta"}, {{"int", {file_at("i.c", 1)}}, {"zeta", {signoff("u")}}}, stages);
  RequirementState lacking =
      make_state("REQ-B", {"doc", "impl"}, {{"doc", {file_at("d", 1)}}}, {"doc", "unit", "alpha"});
  trace.requirements = {state, lacking};

  EXPECT_EQ(stage_tokens(stages, state),
            (std::vector<std::string>{"-doc", "-impl", "-unit", "+int", "-alpha", "+zeta"}));
  EXPECT_EQ(stage_tokens(stages, lacking), (std::vector<std::string>{"+doc", "-unit", "-alpha"}));
  // A required stage missing from the map leaves the requirement incomplete.
  EXPECT_EQ(render_trace_text(trace, all_states(trace), {}),
            "2 requirements: 1 complete, 1 incomplete, 0 findings\n"
            "  [OK] REQ-A  required: [int, zeta]  stages: -doc -impl -unit +int -alpha +zeta\n"
            "  [--] REQ-B  required: [doc, impl]  stages: +doc -unit -alpha\n");
}

}  // namespace
}  // namespace quorvane::testing
