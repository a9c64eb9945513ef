#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "manifest/model.hpp"
#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The --changed-since step of lint: keeps the requirements that are new or retitled since
// `revision`, in their order. `manifest_text` is the text that `manifest` was loaded from.
Status narrow_to_changed_requirements(Manifest& manifest, const std::filesystem::path& root,
                                      const std::string& revision, std::string_view manifest_text);

// The --changed-since step of review: the trace as its prompt is to see it, with only the file
// evidence on lines added since `revision` (see trace_on_changed_lines). An entry stays when the
// file it names has the line added, however its scan root (one of `scan_roots`, which the trace
// was built from) was written.
Result<TraceResult> narrow_to_changed_evidence(const TraceResult& trace,
                                               const std::filesystem::path& root,
                                               const std::vector<std::filesystem::path>& scan_roots,
                                               const std::string& revision);

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed);

// A trace of its own for the file evidence of `trace` on `changed` lines: the requirements that
// keep any such entry, in their order, each with only those entries (its stages' complete flags
// stay as the trace built them), and the trace's stage list. The findings are left out: the
// placement prompt reads none.
TraceResult trace_on_changed_lines(const TraceResult& trace, const ChangedLines& changed);

// The entries of `evidence` on `changed` lines, in their order.
std::vector<Evidence> retain_changed_evidence(const std::vector<Evidence>& evidence,
                                              const ChangedLines& changed);

}  // namespace quorvane
