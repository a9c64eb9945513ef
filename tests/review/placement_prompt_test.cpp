#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "helpers/prompt_template.hpp"
#include "helpers/stage_entry.hpp"
#include "review/placement_prompt.hpp"

namespace quorvane {
namespace {

using testing::stage_entry;

// The prompt's fixed text as the agent must receive it.
// "{}" stands for the placement count.
constexpr std::string_view kHeaderTemplate = R"PROMPT(# Tag placement review

You are reviewing {} tag placement(s) from a quorvane run. Each row below is one piece of file evidence the scanner found: a requirement, the stage it claims to satisfy, and the location of the tag.

Your job: open each file at the given line, read enough surrounding code to judge intent, and decide whether the tagged code actually serves the named requirement at the named stage. Flag tags that look wrong; abstain when uncertain.

If your runtime supports spawning subagents, consider doing so to parallelize the work — each requirement section below is independent.

## Rubric — `tag-placement`

Emit a finding when:
- the tagged code is not for the named requirement (e.g. `[impl->REQ-LOGIN-001]` sits on a logout helper),
- the stage is wrong for the code (e.g. `[unit->REQ-X]` on production code, or `[impl->REQ-X]` inside a test),
- the tagged code is a stub or `todo!()` that does not implement the claimed behavior,
- the code has drifted away from the requirement title since the tag was placed.

If a tag is borderline or context-dependent, abstain. False positives are more costly than misses here — only flag clear mistakes.

## Tag placements to review

)PROMPT";

// Follows the last group.
constexpr std::string_view kExternalEvidence =
    R"PROMPT(External (signoff URL) evidence is not in this list — it is a manifest-declared pointer with no source location to misplace. Verifying the URL itself is out of scope for this review.

)PROMPT";

// Stands in for the groups when there are none.
constexpr std::string_view kNoEvidence = R"PROMPT((No file-evidence tags found in scan.)

)PROMPT";

// Ends every prompt.
constexpr std::string_view kClosing = R"PROMPT(## How to report back

For each clear concern, emit one finding:

    {
      "code": "requirement_quality",
      "requirementId": "REQ-...",
      "stage": "doc" | "impl" | "unit" | "int" | "<custom>",
      "path": "src/...",
      "line": 12,
      "criterion": "tag-placement",
      "message": "<short reason>",
      "suggestedAction": "remove" | "move" | "fix-stage" | "rewrite-code" | null
    }

Wrap your response as `{ "findings": [ ... ] }`. Read the files yourself with
your editor tools — this prompt deliberately does not include source snippets.
)PROMPT";

std::string header(std::string_view count) {
  return testing::with_count(kHeaderTemplate, count);
}

Evidence file(std::string path, std::uint64_t line) {
  return FileEvidence{std::move(path), line};
}
Evidence signoff(std::string url) {
  return SignoffEvidence{std::move(url)};
}

// A state with an entry for each built-in stage, as the trace keeps it.
RequirementState state(std::string id, std::optional<std::string> title) {
  RequirementState s;
  s.id = std::move(id);
  s.title = std::move(title);
  for (const char* stage : {"doc", "impl", "int", "unit"}) stage_entry(s.stages, stage);
  return s;
}

TraceResult trace_showing_every_block() {
  TraceResult trace;
  trace.stages = {"doc", "impl", "unit", "int", "review-x"};

  RequirementState a = state("REQ-A", "Login works");
  stage_entry(a.stages, "doc").evidence = {file("docs/login.md", 4), file("src/a.rs", 5)};
  // Rows are sorted by path bytes, then line as a number, whatever order they arrive in;
  // the sign-off has no location and is left out.
  stage_entry(a.stages, "impl").evidence = {file("src/b.rs", 10), file("src/b.rs", 9),
                                            file("src/a.rs", 5), file("src/B.rs", 2),
                                            signoff("https://review.example/a")};
  stage_entry(a.stages, "review-x").evidence = {file("notes.md", 1)};
  trace.requirements.push_back(std::move(a));

  RequirementState b = state("REQ-B", std::nullopt);
  stage_entry(b.stages, "unit").evidence = {file("tests/b.py", 7)};
  trace.requirements.push_back(std::move(b));

  // Sign-offs only: no group, nothing counted.
  RequirementState c = state("REQ-C", "Signed off elsewhere");
  stage_entry(c.stages, "doc").evidence = {signoff("https://review.example/c")};
  trace.requirements.push_back(std::move(c));

  RequirementState d = state("REQ-D", " ");
  stage_entry(d.stages, "int").evidence = {file("it/d.cmake", 3)};
  trace.requirements.push_back(std::move(d));
  return trace;
}

TEST(TagPlacementPrompt, GroupsFileEvidenceByRequirementWithSortedRows) {
  const AgentReview review = tag_placement_prompt(trace_showing_every_block());

  const std::string expected = header("9") +
                               "### REQ-A \u2014 Login works\n"
                               "- doc  docs/login.md:4\n"
                               "- doc  src/a.rs:5\n"
                               "- impl  src/B.rs:2\n"
                               "- impl  src/a.rs:5\n"
                               "- impl  src/b.rs:9\n"
                               "- impl  src/b.rs:10\n"
                               "- review-x  notes.md:1\n"
                               "\n"
                               "### REQ-B \u2014 (no title)\n"
                               "- unit  tests/b.py:7\n"
                               "\n"
                               "### REQ-D \u2014  \n"
                               "- int  it/d.cmake:3\n"
                               "\n" +
                               std::string(kExternalEvidence) + std::string(kClosing);
  EXPECT_EQ(review.agent_prompt, expected);
  EXPECT_EQ(review.item_count, 9u);
  EXPECT_TRUE(review.findings.empty());
}

TEST(TagPlacementPrompt, WithoutFileEvidenceShowsTheNoEvidenceBlockInstead) {
  const std::string expected = header("0") + std::string(kNoEvidence) + std::string(kClosing);

  TraceResult signoffs_only;
  signoffs_only.requirements.push_back(state("REQ-A", "Signed off"));
  stage_entry(signoffs_only.requirements.back().stages, "doc").evidence = {
      signoff("https://example/x")};

  for (const TraceResult& trace : {TraceResult{}, signoffs_only}) {
    const AgentReview review = tag_placement_prompt(trace);
    EXPECT_EQ(review.agent_prompt, expected);
    EXPECT_EQ(review.item_count, 0u);
    EXPECT_TRUE(review.findings.empty());
  }
}

}  // namespace
}  // namespace quorvane
