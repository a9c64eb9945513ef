#include "lint/title_lint.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lint/quality_prompt.hpp"

namespace quorvane {
namespace {

Requirement requirement(std::string id, std::optional<std::string> title,
                        Priority priority = Priority::Must) {
  Requirement r;
  r.id = std::move(id);
  r.title = std::move(title);
  r.required_stages = {"doc", "impl", "unit"};
  r.priority = priority;
  return r;
}

Manifest manifest_of(std::vector<Requirement> requirements) {
  Manifest manifest;
  manifest.requirements = std::move(requirements);
  return manifest;
}

// The fields that vary between title findings, in one comparable line.
std::string describe(const Finding& f) {
  return f.requirement_id.value_or("<none>") + " | " + f.criterion.value_or("<none>") + " | " +
         f.message;
}

std::vector<std::string> describe_all(const std::vector<Finding>& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings) lines.push_back(describe(f));
  return lines;
}

TEST(QualityFinding, CarriesRequirementIdPriorityAndCriterionOnly) {
  const Finding f =
      quality_finding(requirement("REQ-Q", "A title", Priority::Could), "length", "the message");
  EXPECT_EQ(f.code, FindingCode::RequirementQuality);
  EXPECT_EQ(f.severity, Priority::Could);
  EXPECT_EQ(f.requirement_id, "REQ-Q");
  EXPECT_EQ(f.criterion, "length");
  EXPECT_EQ(f.message, "the message");
  EXPECT_FALSE(f.stage.has_value());
  EXPECT_FALSE(f.path.has_value());
  EXPECT_FALSE(f.line.has_value());
}

TEST(LintTitles, FindingsTakeTheRequirementsPriority) {
  const std::vector<Finding> findings = lint_titles(manifest_of({
      requirement("REQ-1", "Short", Priority::Should),
      requirement("REQ-2", "Tiny", Priority::Could),
  }));
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].severity, Priority::Should);
  EXPECT_EQ(findings[1].severity, Priority::Could);
  for (const Finding& f : findings) {
    EXPECT_EQ(f.code, FindingCode::RequirementQuality);
    EXPECT_FALSE(f.stage || f.path || f.line);
  }
}

TEST(LintTitles, RequirementsWithoutAUsableTitleAreSkippedAndNeverDuplicates) {
  const Manifest manifest = manifest_of({
      requirement("REQ-1", std::nullopt),
      requirement("REQ-2", std::nullopt),
      requirement("REQ-3", ""),
      requirement("REQ-4", " \t\u3000"),
      requirement("REQ-5", " \t\u3000"),
  });
  EXPECT_TRUE(lint_titles(manifest).empty());
}

TEST(LintTitles, DuplicatesCompareTheTitleTrimmedAtBothEndsExactly) {
  const Manifest manifest = manifest_of({
      requirement("REQ-1", " Export the monthly report"),
      requirement("REQ-2", "Export the monthly report\t\u00A0"),
      requirement("REQ-3", "export the monthly report"),
      requirement("REQ-4", "Export the  monthly report"),
  });
  EXPECT_EQ(describe_all(lint_titles(manifest)),
            (std::vector<std::string>{
                "REQ-1 | duplicate-titles | title is identical to 1 other requirement(s): REQ-2",
                "REQ-2 | duplicate-titles | title is identical to 1 other requirement(s): REQ-1",
            }));
}

TEST(LintTitles, ThreeAlikeNameTheOtherTwoInManifestOrder) {
  const Manifest manifest = manifest_of({
      requirement("REQ-C", "Export the monthly report"),
      requirement("REQ-A", "Export the monthly report"),
      requirement("REQ-B", "Export the monthly report"),
  });
  EXPECT_EQ(
      describe_all(lint_titles(manifest)),
      (std::vector<std::string>{
          "REQ-A | duplicate-titles | title is identical to 2 other requirement(s): REQ-C, REQ-B",
          "REQ-B | duplicate-titles | title is identical to 2 other requirement(s): REQ-C, REQ-A",
          "REQ-C | duplicate-titles | title is identical to 2 other requirement(s): REQ-A, REQ-B",
      }));
}

TEST(LintTitles, OneRequirementCanFailAllFiveChecksInCriterionOrder) {
  std::string title = "Import and";
  for (int i = 0; i < 22; ++i) title += " item";
  title += " TBD etc.";  // 26 words
  const Manifest manifest = manifest_of({
      requirement("REQ-1", title),
      requirement("REQ-2", title + "  "),
  });
  const std::vector<std::string> expected = {
      "REQ-1 | contains-and | title contains ' and ' — may smuggle multiple capabilities",
      "REQ-1 | duplicate-titles | title is identical to 1 other requirement(s): REQ-2",
      "REQ-1 | length | title is 26 words; want 3..=25",
      "REQ-1 | tbd-todo | title contains placeholder marker 'TBD'",
      "REQ-1 | trailing-etc | title ends with 'etc.' — signals incompleteness",
      "REQ-2 | contains-and | title contains ' and ' — may smuggle multiple capabilities",
      "REQ-2 | duplicate-titles | title is identical to 1 other requirement(s): REQ-1",
      "REQ-2 | length | title is 26 words; want 3..=25",
      "REQ-2 | tbd-todo | title contains placeholder marker 'TBD'",
      "REQ-2 | trailing-etc | title ends with 'etc.' — signals incompleteness",
  };
  EXPECT_EQ(describe_all(lint_titles(manifest)), expected);
}

TEST(LintTitles, SortedByRequirementIdBytesNotManifestOrder) {
  const Manifest manifest = manifest_of({
      requirement("REQ-a", "Short"),
      requirement("REQ-10", "Short one"),
      requirement("REQ-B", "Short two"),
      requirement("REQ-1", "Short three"),
      requirement("", "Nameless"),
  });
  std::vector<std::string> ids;
  for (const Finding& f : lint_titles(manifest)) ids.push_back(*f.requirement_id);
  EXPECT_EQ(ids, (std::vector<std::string>{"", "REQ-1", "REQ-10", "REQ-B", "REQ-a"}));
}

TEST(LintEntry, BundlesFindingsPromptAndTheCountOfEveryRequirement) {
  const Manifest manifest = manifest_of({
      requirement("REQ-1", "Short"),
      requirement("REQ-2", std::nullopt),
      requirement("REQ-3", "Export the monthly report"),
  });
  const AgentReview review = lint_entry(manifest);
  EXPECT_EQ(describe_all(review.findings), describe_all(lint_titles(manifest)));
  EXPECT_EQ(review.findings.size(), 1u);
  EXPECT_EQ(review.agent_prompt, quality_review_prompt(manifest));
  EXPECT_EQ(review.item_count, 3u);
}

TEST(LintEntry, EmptyManifestGivesNothingToReport) {
  const AgentReview review = lint_entry(Manifest{});
  EXPECT_TRUE(review.findings.empty());
  EXPECT_EQ(review.item_count, 0u);
  EXPECT_EQ(review.agent_prompt, quality_review_prompt(Manifest{}));
}

}  // namespace
}  // namespace quorvane
