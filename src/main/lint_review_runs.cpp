#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "git/narrowing.hpp"
#include "lint/title_lint.hpp"
#include "main/runs.hpp"
#include "manifest/loader.hpp"
#include "output/json_report.hpp"
#include "output/review_text.hpp"
#include "review/placement_prompt.hpp"

namespace quorvane {
namespace {

Status narrow_to_changed_requirements(Manifest& manifest, const std::filesystem::path& root,
                                      const std::string& revision) {
  Result<ChangedRequirements> changed = changed_requirements_since(root, revision);
  if (!changed) return std::move(changed).take_failure();
  retain_changed_requirements(manifest.requirements, changed.value());
  return Ok{};
}

Status narrow_to_changed_evidence(TraceResult& trace, const std::filesystem::path& root,
                                  const std::string& revision) {
  Result<ChangedLines> changed = changed_lines_since(root, revision);
  if (!changed) return std::move(changed).take_failure();
  for (RequirementState& state : trace.requirements) {
    for (auto& [stage, stage_state] : state.stages) {
      retain_changed_evidence(stage_state.evidence, changed.value());
    }
  }
  return Ok{};
}

// Writes the review's report; the run's status is 1 when it holds a finding.
template <class RenderText>
RunOutcome finish_review(const AgentReview& review, bool json, RenderText render_text) {
  return write_report(
      json ? render_review_json(review.findings, review.agent_prompt) : render_text(), json,
      review.findings.empty() ? 0 : 1);
}

}  // namespace

RunOutcome run_lint(const LintCommand& options, const std::filesystem::path& project_root) {
  Result<Manifest> manifest = load_manifest(project_root);
  if (!manifest) return std::move(manifest).take_failure();
  if (options.changed_since) {
    Status narrowed =
        narrow_to_changed_requirements(manifest.value(), project_root, *options.changed_since);
    if (!narrowed) return std::move(narrowed).take_failure();
  }
  const AgentReview review = lint_entry(manifest.value());
  return finish_review(review, options.json, [&] {
    return render_lint_text(review.findings, review.item_count, review.agent_prompt);
  });
}

RunOutcome run_review(const ReviewCommand& options, const std::filesystem::path& project_root,
                      RunContext& context) {
  if (const auto* failure = std::get_if<Failure>(&context)) return *failure;
  TraceResult& trace = std::get<TraceResult>(context);
  if (options.changed_since) {
    Status narrowed = narrow_to_changed_evidence(trace, project_root, *options.changed_since);
    if (!narrowed) return std::move(narrowed).take_failure();
  }
  const AgentReview review = tag_placement_prompt(trace);
  return finish_review(review, options.json, [&] {
    return render_review_text("Tag placement review", review.findings, review.item_count,
                              "tag placement", review.agent_prompt);
  });
}

}  // namespace quorvane
