#include "output/trace_text.hpp"

#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#include <fmt/format.h>

#include "manifest/priority.hpp"
#include "output/text_join.hpp"
#include "output/trace_summary.hpp"

namespace quorvane {

namespace {

constexpr std::string_view kUntypedLabel = "(untyped)";

bool any_typed(const StateSelection& states) {
  for (const RequirementState* state : states) {
    if (state->type) return true;
  }
  return false;
}

void append_requirement_line(std::string& out, const std::vector<std::string>& stages,
                             const RequirementState& state) {
  out.append("  ");
  out.append(is_complete(state) ? "[OK]" : "[--]");
  out.push_back(' ');
  out.append(state.id);
  out.append("  required: [");
  append_joined(out, state.required_stages, ", ");
  out.append("]  stages: ");
  append_joined(out, stage_tokens(stages, state), " ");
  out.push_back('\n');
}

}  // namespace

std::string finding_line(const Finding& finding) {
  std::string line;
  line.push_back('[');
  line.append(priority_word(finding.severity));
  line.append("] ");
  line.append(finding_code_word(finding.code));
  if (finding.requirement_id) {
    line.push_back(' ');
    line.append(*finding.requirement_id);
  }
  if (finding.criterion) {
    line.append(" criterion=");
    line.append(*finding.criterion);
  }
  if (finding.stage) {
    line.append(" stage=");
    line.append(*finding.stage);
  }
  // A line number means nothing without the file it belongs to.
  if (finding.path) {
    line.push_back(' ');
    line.append(*finding.path);
    if (finding.line) fmt::format_to(std::back_inserter(line), ":{}", *finding.line);
  }
  line.append(" \u2014 ");
  line.append(finding.message);
  return line;
}

void append_finding_line(std::string& out, std::string_view indent, const Finding& finding) {
  out.append(indent);
  out.append(finding_line(finding));
  out.push_back('\n');
}

std::vector<std::string> stage_tokens(const std::vector<std::string>& stages,
                                      const RequirementState& state) {
  std::vector<std::string> tokens;
  tokens.reserve(stages.size());
  for (const std::string& name : stages) {
    auto found = state.stages.find(name);
    if (found == state.stages.end()) continue;
    std::string token(found->second.complete ? "+" : "-");
    token.append(name);
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::string render_trace_text(const TraceResult& trace, const StateSelection& states,
                              const FindingSelection& findings) {
  const TraceSummary summary = summarize_trace(trace);
  std::string out;
  fmt::format_to(std::back_inserter(out),
                 "{} requirements: {} complete, {} incomplete, {} findings\n", summary.requirements,
                 summary.complete, summary.incomplete, findings.size());

  const bool grouping = any_typed(states);
  std::optional<std::string_view> previous_label;
  for (const RequirementState* state : states) {
    if (grouping) {
      const std::string_view label = state->type ? std::string_view(*state->type) : kUntypedLabel;
      if (!previous_label || *previous_label != label) {
        out.push_back('\n');
        out.append(label);
        out.append(":\n");
        previous_label = label;
      }
    }
    append_requirement_line(out, trace.stages, *state);
    if (state->title) {
      out.append("       ");
      out.append(*state->title);
      out.push_back('\n');
    }
  }

  if (!findings.empty()) {
    out.append("\nFindings:\n");
    for (const Finding* finding : findings) append_finding_line(out, "  ", *finding);
  }
  return out;
}

}  // namespace quorvane
