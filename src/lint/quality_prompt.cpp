#include "lint/quality_prompt.hpp"

#include <fmt/format.h>

#include <string_view>

#include "support/prompt_lines.hpp"

namespace quorvane {

namespace {

// The prompt's fixed text, one entry per line; the line feeds are added when composing.
// clang-format off
constexpr std::string_view kTitle = "# Requirement quality review";

// From the line after the count to the blank line that opens the requirement list.
constexpr std::string_view kRubric[] = {
    "rubric. Deterministic checks (length, contains-and, tbd-todo, duplicate-titles,",
    "trailing-etc) have already run and surfaced as `requirement_quality` findings on",
    "this command's output. Your task is the rubric items below.",
    "",
    "## Rubric",
    "",
    "- **singular** — describes one capability; no smuggled \"and\"/\"or\" across distinct actions.",
    "- **verifiable** — states an observable behavior a test or reviewer could confirm.",
    "- **atomic** — cannot be split into two requirements without losing meaning.",
    "- **active-voice** — clear subject and active verb.",
    "",
    "If a criterion is borderline or doesn't apply, abstain — only emit findings for",
    "clear concerns.",
    "",
    "## Requirements",
    "",
};

// After the last requirement section.
constexpr std::string_view kClosing[] = {
    "## How to report back",
    "",
    "For every (requirement, failing criterion) pair, emit one finding:",
    "",
    "    {",
    "      \"code\": \"requirement_quality\",",
    "      \"requirementId\": \"REQ-...\",",
    "      \"criterion\": \"singular\" | \"verifiable\" | \"atomic\" | \"active-voice\",",
    "      \"message\": \"<short reason>\",",
    "      \"suggestedRevision\": \"<optional rewrite>\"",
    "    }",
    "",
    "Wrap your response as { \"findings\": [ ... ] } listing only your concerns; the",
    "deterministic findings above don't need to be repeated.",
};
// clang-format on

void append_requirement_section(std::string& out, const Requirement& requirement) {
  append_line(out, fmt::format("### {}", requirement.id));
  append_line(out,
              fmt::format("- Title: {}", requirement.title ? *requirement.title : "(missing)"));
  append_line(out,
              fmt::format("- Required stages: {}", fmt::join(requirement.required_stages, ", ")));
  append_line(out, "");
}

}  // namespace

std::string quality_review_prompt(const Manifest& manifest) {
  std::string out;
  append_line(out, kTitle);
  append_line(out, "");
  append_line(
      out, fmt::format("You are reviewing {} requirement(s) from `quorvane.toml` against a quality",
                       manifest.requirements.size()));
  append_lines(out, kRubric);
  for (const Requirement& requirement : manifest.requirements) {
    append_requirement_section(out, requirement);
  }
  append_lines(out, kClosing);
  return out;
}

}  // namespace quorvane
