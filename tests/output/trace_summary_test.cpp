#include "output/trace_summary.hpp"

#include <gtest/gtest.h>

#include <string>

#include "output/json_report.hpp"
#include "output/trace_text.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

// Complete: no required stage; "doc" twice with doc evidence. Incomplete: one required stage
// without evidence; a required stage that the map does not hold.
TraceResult mixed_trace() {
  TraceResult trace;
  trace.stages = kBuiltinStages;
  trace.requirements = {
      make_state("REQ-A", {}),
      make_state("REQ-B", {"doc", "doc"}, {{"doc", {file_at("a.md", 1)}}}),
      make_state("REQ-C", {"doc", "impl"}, {{"doc", {file_at("a.md", 2)}}}),
      make_state("REQ-D", {"review"}, {{"doc", {file_at("a.md", 3)}}}),
  };
  return trace;
}

TEST(TraceSummary, CountsEveryRequirementByItsRequiredStages) {
  const TraceSummary summary = summarize_trace(mixed_trace());
  EXPECT_EQ(summary.requirements, 4u);
  EXPECT_EQ(summary.complete, 2u);
  EXPECT_EQ(summary.incomplete, 2u);

  const TraceSummary empty = summarize_trace(TraceResult{{}, {}, kBuiltinStages});
  EXPECT_EQ(empty.requirements + empty.complete + empty.incomplete, 0u);
}

TEST(TraceSummary, BothReportsShowTheSameCountsOfTheWholeTrace) {
  const TraceResult trace = mixed_trace();
  // Only the incomplete states are shown; the counts still cover all four.
  const StateSelection shown{&trace.requirements[2], &trace.requirements[3]};
  const std::string text = render_trace_text(trace, shown, {});
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "4 requirements: 2 complete, 2 incomplete, 0 findings");
  const std::string json = render_trace_json(trace, shown, {});
  EXPECT_NE(json.find("\"requirementCount\": 4,\n"
                      "    \"completeCount\": 2,\n"
                      "    \"incompleteCount\": 2,\n"),
            std::string::npos)
      << json;
}

}  // namespace
}  // namespace quorvane::testing
