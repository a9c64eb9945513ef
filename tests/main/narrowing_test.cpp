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
  std::vector<Evidence> evidence = {
      FileEvidence{"src/z.c", 9},   FileEvidence{"src/a.c", 3}, FileEvidence{"src/a.c", 4},
      FileEvidence{"src/b.c", 1},   FileEvidence{"other.c", 2}, FileEvidence{"./src/a.c", 3},
      SignoffEvidence{"https://x"},
  };
  const ChangedLines changed = {{"src/a.c", {3, 7}}, {"src/z.c", {9}}, {"src/b.c", {}}};
  retain_changed_evidence(evidence, changed);
  EXPECT_EQ(evidence,
            (std::vector<Evidence>{FileEvidence{"src/z.c", 9}, FileEvidence{"src/a.c", 3}}));
}

TEST(RetainChangedEvidence, EmptyMapRemovesEverything) {
  std::vector<Evidence> evidence = {FileEvidence{"a.c", 1}, SignoffEvidence{"u"}};
  retain_changed_evidence(evidence, {});
  EXPECT_TRUE(evidence.empty());
}

}  // namespace
}  // namespace quorvane
