#include "main/narrowing.hpp"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

Requirement requirement(const std::string& id) {
  Requirement r;
  r.id = id;
  return r;
}

std::vector<std::string> ids(const std::vector<Requirement>& requirements) {
  std::vector<std::string> out;
  for (const auto& r : requirements) out.push_back(r.id);
  return out;
}

TEST(RetainChangedRequirements, KeepsMembersInTheirOrderComparingIdsExactly) {
  std::vector<Requirement> requirements = {requirement("REQ-C"), requirement("REQ-A"),
                                           requirement("REQ-B"), requirement("req-d")};
  retain_changed_requirements(requirements, {"REQ-B", "REQ-C", "REQ-D", "REQ-Z"});
  EXPECT_EQ(ids(requirements), (std::vector<std::string>{"REQ-C", "REQ-B"}));

  retain_changed_requirements(requirements, {});
  EXPECT_TRUE(requirements.empty());
}

TEST(RetainChangedEvidence, KeepsFileEntriesOnAddedLinesOnly) {
  const std::vector<Evidence> evidence = {
      FileEvidence{"src/z.c", 9},   FileEvidence{"src/a.c", 3}, FileEvidence{"src/a.c", 4},
      FileEvidence{"src/b.c", 1},   FileEvidence{"other.c", 2}, FileEvidence{"./src/a.c", 3},
      SignoffEvidence{"https://x"},
  };
  const ChangedLines changed = {{"src/a.c", {3, 7}}, {"src/z.c", {9}}, {"src/b.c", {}}};
  EXPECT_EQ(retain_changed_evidence(evidence, changed),
            (std::vector<Evidence>{FileEvidence{"src/z.c", 9}, FileEvidence{"src/a.c", 3}}));
}

TEST(RetainChangedEvidence, EmptyMapRemovesEverything) {
  const std::vector<Evidence> evidence = {FileEvidence{"a.c", 1}, SignoffEvidence{"u"}};
  EXPECT_TRUE(retain_changed_evidence(evidence, {}).empty());
}

RequirementState state(const std::string& id, std::vector<Evidence> impl,
                       std::vector<Evidence> doc = {}) {
  RequirementState s;
  s.id = id;
  s.title = "Title of " + id;
  s.required_stages = {"doc", "impl"};
  const bool doc_complete = !doc.empty();
  const bool impl_complete = !impl.empty();
  s.stages.emplace("doc", StageState{std::move(doc), doc_complete});
  s.stages.emplace("impl", StageState{std::move(impl), impl_complete});
  return s;
}

TEST(TraceOnChangedLines, KeepsTheRequirementsWithEvidenceOnChangedLinesAndLeavesTheTraceAlone) {
  TraceResult trace;
  trace.stages = {"doc", "impl", "unit", "int"};
  trace.requirements = {
      state("REQ-A", {FileEvidence{"a.c", 1}, FileEvidence{"a.c", 2}},
            {SignoffEvidence{"https://x"}}),
      state("REQ-B", {FileEvidence{"b.c", 1}}),
      state("REQ-C", {}, {FileEvidence{"a.c", 2}}),
  };
  trace.findings = {Finding{}};
  const TraceResult before = trace;

  const TraceResult narrowed = trace_on_changed_lines(trace, {{"a.c", {2}}});
  // REQ-B keeps nothing; the complete flags stay as the trace built them.
  ASSERT_EQ(narrowed.requirements.size(), 2u);
  const RequirementState& a = narrowed.requirements[0];
  EXPECT_EQ(a.id, "REQ-A");
  EXPECT_EQ(a.title, "Title of REQ-A");
  EXPECT_EQ(a.required_stages, (std::vector<std::string>{"doc", "impl"}));
  EXPECT_EQ(a.stages.find("impl")->second, (StageState{{FileEvidence{"a.c", 2}}, true}));
  EXPECT_EQ(a.stages.find("doc")->second, (StageState{{}, true}));
  const RequirementState& c = narrowed.requirements[1];
  EXPECT_EQ(c.id, "REQ-C");
  EXPECT_EQ(c.stages.find("doc")->second, (StageState{{FileEvidence{"a.c", 2}}, true}));
  EXPECT_EQ(c.stages.find("impl")->second, (StageState{{}, false}));
  EXPECT_EQ(narrowed.stages, trace.stages);
  EXPECT_TRUE(narrowed.findings.empty());

  // The run's own trace is only read.
  EXPECT_EQ(trace.requirements.size(), before.requirements.size());
  for (std::size_t i = 0; i < trace.requirements.size(); ++i) {
    EXPECT_EQ(trace.requirements[i].stages, before.requirements[i].stages);
  }
  EXPECT_EQ(trace.findings.size(), 1u);

  EXPECT_TRUE(trace_on_changed_lines(trace, {}).requirements.empty());
}

}  // namespace
}  // namespace quorvane
