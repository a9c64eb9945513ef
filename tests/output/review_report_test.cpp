#include <cstdint>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "lint/title_lint.hpp"
#include "output/json_report.hpp"
#include "output/review_text.hpp"
#include "review/placement_prompt.hpp"
#include "trace_fixture.hpp"

namespace quorvane::testing {
namespace {

const std::string kPrompt = "# Requirement quality review\n\nReturn {\"ok\": true}.\n";

std::vector<Finding> title_findings(std::size_t count) {
  std::vector<Finding> findings;
  for (std::size_t i = 0; i < count; ++i) {
    findings.push_back(requirement_quality("REQ-" + std::to_string(i + 1), "length",
                                           "Title is too long", Priority::Should));
  }
  return findings;
}

// The text report of a review under the labels its producer gives it.
std::string review_text(const ReviewLabels& labels, const std::vector<Finding>& findings,
                        std::uint64_t items, std::string_view prompt) {
  return render_review_text(labels.label, findings, items, labels.noun, prompt);
}

struct SummaryCase {
  std::size_t findings;
  std::uint64_t items;
  std::string lint_head;
  std::string review_head;
};

TEST(ReviewText, SummaryFormsAndQueuedSuffix) {
  const std::string f1 =
      "  [should] requirement_quality REQ-1 criterion=length \u2014 Title is too long\n";
  const std::string f2 =
      "  [should] requirement_quality REQ-2 criterion=length \u2014 Title is too long\n";
  const std::vector<SummaryCase> cases{
      {0, 0, "Requirement quality: no deterministic findings.\n\n",
       "Tag placement review: no deterministic findings.\n\n"},
      {0, 1,
       "Requirement quality: no deterministic findings; 1 requirement queued for agent review.\n\n",
       "Tag placement review: no deterministic findings; 1 tag placement queued for agent "
       "review.\n\n"},
      {0, 2,
       "Requirement quality: no deterministic findings; 2 requirements queued for agent "
       "review.\n\n",
       "Tag placement review: no deterministic findings; 2 tag placements queued for agent "
       "review.\n\n"},
      {1, 0, "Requirement quality findings (1):\n" + f1 + "\n",
       "Tag placement review findings (1):\n" + f1 + "\n"},
      {2, 1,
       "Requirement quality findings (2); 1 requirement queued for agent review:\n" + f1 + f2 +
           "\n",
       "Tag placement review findings (2); 1 tag placement queued for agent review:\n" + f1 + f2 +
           "\n"},
      {2, 4,
       "Requirement quality findings (2); 4 requirements queued for agent review:\n" + f1 + f2 +
           "\n",
       "Tag placement review findings (2); 4 tag placements queued for agent review:\n" + f1 + f2 +
           "\n"},
  };
  for (const SummaryCase& c : cases) {
    const std::vector<Finding> findings = title_findings(c.findings);
    EXPECT_EQ(review_text(kQualityReviewLabels, findings, c.items, kPrompt), c.lint_head + kPrompt)
        << c.findings << " findings, " << c.items << " items";
    EXPECT_EQ(review_text(kPlacementReviewLabels, findings, c.items, kPrompt),
              c.review_head + kPrompt)
        << c.findings << " findings, " << c.items << " items";
  }
}

TEST(ReviewText, AddsNothingAfterThePrompt) {
  EXPECT_EQ(review_text(kQualityReviewLabels, {}, 0, "no trailing break"),
            "Requirement quality: no deterministic findings.\n\nno trailing break");
}

TEST(ReviewJson, ReviewReportHoldsEmptyFindingsAndThePromptOnOneLine) {
  const std::string json =
      render_review_json({}, "# Tag placement review\n\nSay \"yes\" \u2014 ok\n");
  EXPECT_EQ(json,
            "{\n"
            "  \"schemaVersion\": 1,\n"
            "  \"findings\": [],\n"
            "  \"agentPrompt\": \"# Tag placement review\\n\\nSay \\\"yes\\\" \u2014 ok\\n\"\n"
            "}");
}

TEST(ReviewJson, TitleFindingShowsItsMembersInOrderAndPromptRoundTrips) {
  const std::vector<Finding> findings = title_findings(1);
  const std::string json = render_review_json(findings, kPrompt);
  EXPECT_EQ(json, R"json({
  "schemaVersion": 1,
  "findings": [
    {
      "code": "requirement_quality",
      "severity": "should",
      "requirementId": "REQ-1",
      "criterion": "length",
      "message": "Title is too long"
    }
  ],
  "agentPrompt": "# Requirement quality review\n\nReturn {\"ok\": true}.\n"
})json");
  EXPECT_EQ(nlohmann::json::parse(json)["agentPrompt"].get<std::string>(), kPrompt);
}

}  // namespace
}  // namespace quorvane::testing
