#include "output/requirement_text.hpp"

#include <algorithm>
#include <iterator>
#include <variant>

#include <fmt/format.h>

#include "output/text_join.hpp"
#include "output/trace_text.hpp"

namespace quorvane {

namespace {

void append_evidence_line(std::string& out, const Evidence& evidence) {
  out.append("        ");
  if (const auto* file = std::get_if<FileEvidence>(&evidence)) {
    fmt::format_to(std::back_inserter(out), "{}:{}", file->path, file->line);
  } else {
    out.append(std::get<SignoffEvidence>(evidence).url);
  }
  out.push_back('\n');
}

bool is_required(const RequirementState& state, const std::string& stage) {
  return std::find(state.required_stages.begin(), state.required_stages.end(), stage) !=
         state.required_stages.end();
}

}  // namespace

std::string render_requirement_text(const RequirementState& state, const FindingSelection& findings,
                                    const std::vector<std::string>& stages) {
  std::string out(state.id);
  if (state.title) {
    out.append(" \u2014 ");
    out.append(*state.title);
  }
  out.append("\n  required stages: [");
  append_joined(out, state.required_stages, ", ");
  out.append("]\n");

  // Every known stage gets a line, required or not, so stray evidence stays visible.
  for (const std::string& name : stages) {
    auto found = state.stages.find(name);
    if (found == state.stages.end()) continue;
    const StageState& stage = found->second;
    out.append(stage.complete ? "  [OK] " : "  [--] ");
    out.append(name);
    if (!is_required(state, name)) out.append(" (not required)");
    out.push_back('\n');
    for (const Evidence& evidence : stage.evidence) append_evidence_line(out, evidence);
  }

  if (!findings.empty()) {
    out.append("  findings:\n");
    for (const Finding* finding : findings) append_finding_line(out, "    ", *finding);
  }
  return out;
}

}  // namespace quorvane
