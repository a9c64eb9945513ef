#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "helpers/prompt_template.hpp"
#include "lint/quality_prompt.hpp"

namespace quorvane {
namespace {

// The prompt's fixed text as the agent must receive it.
// "{}" stands for the requirement count.
constexpr std::string_view kHeaderTemplate = R"PROMPT(# Requirement quality review

You are reviewing {} requirement(s) from `quorvane.toml` against a quality
rubric. Deterministic checks (length, contains-and, tbd-todo, duplicate-titles,
trailing-etc) have already run and surfaced as `requirement_quality` findings on
this command's output. Your task is the rubric items below.

## Rubric

- **singular** — describes one capability; no smuggled "and"/"or" across distinct actions.
- **verifiable** — states an observable behavior a test or reviewer could confirm.
- **atomic** — cannot be split into two requirements without losing meaning.
- **active-voice** — clear subject and active verb.

If a criterion is borderline or doesn't apply, abstain — only emit findings for
clear concerns.

## Requirements

)PROMPT";

// Ends every prompt.
constexpr std::string_view kClosing = R"PROMPT(## How to report back

For every (requirement, failing criterion) pair, emit one finding:

    {
      "code": "requirement_quality",
      "requirementId": "REQ-...",
      "criterion": "singular" | "verifiable" | "atomic" | "active-voice",
      "message": "<short reason>",
      "suggestedRevision": "<optional rewrite>"
    }

Wrap your response as { "findings": [ ... ] } listing only your concerns; the
deterministic findings above don't need to be repeated.
)PROMPT";

std::string header(std::string_view count) {
  return testing::with_count(kHeaderTemplate, count);
}

Requirement requirement(std::string id, std::optional<std::string> title,
                        std::vector<std::string> stages) {
  Requirement r;
  r.id = std::move(id);
  r.title = std::move(title);
  r.required_stages = std::move(stages);
  return r;
}

TEST(QualityPrompt, ListsEveryRequirementInManifestOrderBetweenTheFixedBlocks) {
  Manifest manifest;
  // Manifest order, not id order; a title is inserted as stored, Markdown and white space kept.
  manifest.requirements.push_back(
      requirement("REQ-A", "Log **in** with `sso`", {"doc", "impl", "unit"}));
  manifest.requirements.push_back(requirement("REQ-C", std::nullopt, {"unit", "unit"}));
  manifest.requirements.push_back(requirement("REQ-B", " \t ", {}));

  const std::string expected = header("3") +
                               "### REQ-A\n"
                               "- Title: Log **in** with `sso`\n"
                               "- Required stages: doc, impl, unit\n"
                               "\n"
                               "### REQ-C\n"
                               "- Title: (missing)\n"
                               "- Required stages: unit, unit\n"
                               "\n"
                               "### REQ-B\n"
                               "- Title:  \t \n"
                               "- Required stages: \n"
                               "\n" +
                               std::string(kClosing);
  EXPECT_EQ(quality_review_prompt(manifest), expected);
}

TEST(QualityPrompt, WithoutRequirementsTheHeaderLeadsStraightIntoTheClosing) {
  EXPECT_EQ(quality_review_prompt(Manifest{}), header("0") + std::string(kClosing));
}

TEST(QualityPrompt, ATitleWithALineBreakIsCarriedUnescaped) {
  Manifest manifest;
  manifest.requirements.push_back(requirement("REQ-X", "two\r\nlines", {"doc"}));
  const std::string prompt = quality_review_prompt(manifest);
  EXPECT_NE(prompt.find("### REQ-X\n- Title: two\r\nlines\n- Required stages: doc\n\n## How"),
            std::string::npos);
  // The prompt itself writes no carriage return.
  EXPECT_EQ(prompt.find('\r'), prompt.rfind('\r'));
}

}  // namespace
}  // namespace quorvane
