#include <gtest/gtest.h>

#include "manifest/stages.hpp"

namespace quorvane {
namespace {

Manifest with_custom_stages(std::vector<std::string> names) {
  Manifest manifest;
  for (auto& name : names) manifest.stages.push_back(StageDef{std::move(name), std::nullopt});
  return manifest;
}

TEST(Stages, OrderedListPutsBuiltinsFirstThenCustomNamesInByteOrder) {
  struct Case {
    std::vector<std::string> custom;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {{}, {"doc", "impl", "unit", "int"}},
      {{"review", "beta"}, {"doc", "impl", "unit", "int", "beta", "review"}},
      // Hyphen before digits before letters; a proper prefix first.
      {{"ab", "a0", "a-b"}, {"doc", "impl", "unit", "int", "a-b", "a0", "ab"}},
      {{"ab", "a"}, {"doc", "impl", "unit", "int", "a", "ab"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ordered_stages(with_custom_stages(c.custom)), c.expected);
  }
}

TEST(Stages, SetHoldsExactlyTheKnownNames) {
  const StageSet stages = stage_set(with_custom_stages({"docs", "review"}));
  EXPECT_EQ(stages.size(), 6u);
  for (std::string_view known : {"doc", "impl", "unit", "int", "docs", "review"}) {
    EXPECT_TRUE(stages.contains(known)) << known;
  }
  for (std::string_view unknown : {"Doc", "DOC", "doc ", " doc", "", "beta"}) {
    EXPECT_FALSE(stages.contains(unknown)) << unknown;
  }
  EXPECT_EQ(all_stages({}).size(), 4u);
}

}  // namespace
}  // namespace quorvane
