#include "review/placement_prompt.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "support/prompt_lines.hpp"

namespace quorvane {

namespace {

// The prompt's fixed text, one entry per line; the line feeds are added when composing.
// clang-format off
constexpr std::string_view kTitle = "# Tag placement review";

// From the line after the count to the blank line that opens the placement list.
constexpr std::string_view kIntroduction[] = {
    "",
    "Your job: open each file at the given line, read enough surrounding code to judge intent, and decide whether the tagged code actually serves the named requirement at the named stage. Flag tags that look wrong; abstain when uncertain.",
    "",
    "If your runtime supports spawning subagents, consider doing so to parallelize the work — each requirement section below is independent.",
    "",
    "## Rubric — `tag-placement`",
    "",
    "Emit a finding when:",
    "- the tagged code is not for the named requirement (e.g. `[impl->REQ-LOGIN-001]` sits on a logout helper),",
    "- the stage is wrong for the code (e.g. `[unit->REQ-X]` on production code, or `[impl->REQ-X]` inside a test),",
    "- the tagged code is a stub or `todo!()` that does not implement the claimed behavior,",
    "- the code has drifted away from the requirement title since the tag was placed.",
    "",
    "If a tag is borderline or context-dependent, abstain. False positives are more costly than misses here — only flag clear mistakes.",
    "",
    "## Tag placements to review",
    "",
};

// After the last requirement group.
constexpr std::string_view kExternalEvidence[] = {
    "External (signoff URL) evidence is not in this list — it is a manifest-declared pointer with no source location to misplace. Verifying the URL itself is out of scope for this review.",
    "",
};

// In place of the groups when no file evidence is left.
constexpr std::string_view kNoEvidence[] = {
    "(No file-evidence tags found in scan.)",
    "",
};

// The end of every prompt.
constexpr std::string_view kClosing[] = {
    "## How to report back",
    "",
    "For each clear concern, emit one finding:",
    "",
    "    {",
    "      \"code\": \"requirement_quality\",",
    "      \"requirementId\": \"REQ-...\",",
    "      \"stage\": \"doc\" | \"impl\" | \"unit\" | \"int\" | \"<custom>\",",
    "      \"path\": \"src/...\",",
    "      \"line\": 12,",
    "      \"criterion\": \"tag-placement\",",
    "      \"message\": \"<short reason>\",",
    "      \"suggestedAction\": \"remove\" | \"move\" | \"fix-stage\" | \"rewrite-code\" | null",
    "    }",
    "",
    "Wrap your response as `{ \"findings\": [ ... ] }`. Read the files yourself with",
    "your editor tools — this prompt deliberately does not include source snippets.",
};
// clang-format on

// One tag placement: a File evidence entry and the stage it is listed under.
struct PlacementRow {
  std::string_view stage;
  std::string_view path;
  std::uint64_t line = 0;
};

bool row_less(const PlacementRow& a, const PlacementRow& b) {
  return std::tie(a.stage, a.path, a.line) < std::tie(b.stage, b.path, b.line);
}

// Rows of one requirement, by stage name, path (bytes) and line; sign-offs have no location.
std::vector<PlacementRow> placement_rows(const RequirementState& state) {
  std::vector<PlacementRow> rows;
  for (const auto& [stage, stage_state] : state.stages) {
    for (const Evidence& evidence : stage_state.evidence) {
      if (const auto* file = std::get_if<FileEvidence>(&evidence)) {
        rows.push_back({stage, file->path, file->line});
      }
    }
  }
  std::stable_sort(rows.begin(), rows.end(), row_less);
  return rows;
}

void append_group(std::string& out, const RequirementState& state,
                  const std::vector<PlacementRow>& rows) {
  append_line(out, fmt::format("### {} — {}", state.id, state.title ? *state.title : "(no title)"));
  for (const PlacementRow& row : rows) {
    append_line(out, fmt::format("- {}  {}:{}", row.stage, row.path, row.line));
  }
  append_line(out, "");
}

}  // namespace

AgentReview tag_placement_prompt(const TraceResult& trace) {
  std::uint64_t count = 0;
  std::string groups;
  for (const RequirementState& state : trace.requirements) {
    const std::vector<PlacementRow> rows = placement_rows(state);
    if (rows.empty()) continue;
    count += rows.size();
    append_group(groups, state, rows);
  }

  AgentReview review;
  std::string& out = review.agent_prompt;
  append_line(out, kTitle);
  append_line(out, "");
  append_line(out,
              fmt::format("You are reviewing {} tag placement(s) from a quorvane run. Each row "
                          "below is one piece of file evidence the scanner found: a requirement, "
                          "the stage it claims to satisfy, and the location of the tag.",
                          count));
  append_lines(out, kIntroduction);
  if (groups.empty()) {
    append_lines(out, kNoEvidence);
  } else {
    out += groups;
    append_lines(out, kExternalEvidence);
  }
  append_lines(out, kClosing);
  review.item_count = count;
  return review;
}

}  // namespace quorvane
