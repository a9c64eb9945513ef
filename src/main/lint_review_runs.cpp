#include "lint/title_lint.hpp"
#include "main/narrowing.hpp"
#include "main/runs.hpp"
#include "manifest/loader.hpp"
#include "output/json_report.hpp"
#include "output/review_text.hpp"
#include "review/placement_prompt.hpp"

namespace quorvane {
namespace {

// Writes the review's report; the run's status is 1 when it holds a finding.
RunOutcome finish_review(const AgentReview& review, const ReviewLabels& labels, bool json) {
  return write_report(json ? render_review_json(review.findings, review.agent_prompt)
                           : render_review_text(labels.label, review.findings, review.item_count,
                                                labels.noun, review.agent_prompt),
                      json, review.findings.empty() ? 0 : 1);
}

}  // namespace

RunOutcome run_lint(const LintCommand& options, const std::filesystem::path& project_root) {
  // The text is read once: the comparison with the revision reads the same text as the load.
  const Result<std::string> text = read_manifest_text(project_root);
  if (!text) return Failure{text.error()};
  Result<Manifest> manifest = load_manifest_text(project_root, text.value());
  if (!manifest) return std::move(manifest).take_failure();
  if (options.changed_since) {
    Status narrowed = narrow_to_changed_requirements(manifest.value(), project_root,
                                                     *options.changed_since, text.value());
    if (!narrowed) return std::move(narrowed).take_failure();
  }
  return finish_review(lint_entry(manifest.value()), kQualityReviewLabels, options.json);
}

RunOutcome run_review(const ReviewCommand& options, const std::filesystem::path& project_root,
                      const TraceResult& trace,
                      const std::vector<std::filesystem::path>& scan_roots) {
  if (!options.changed_since) {
    return finish_review(tag_placement_prompt(trace), kPlacementReviewLabels, options.json);
  }
  const Result<TraceResult> narrowed =
      narrow_to_changed_evidence(trace, project_root, scan_roots, *options.changed_since);
  if (!narrowed) return Failure{narrowed.error()};
  return finish_review(tag_placement_prompt(narrowed.value()), kPlacementReviewLabels,
                       options.json);
}

}  // namespace quorvane
