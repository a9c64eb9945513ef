#include "trace/records.hpp"

#include <compare>

namespace quorvane {

// std::string compares through char_traits<char>, which orders bytes as unsigned char; a proper
// prefix orders first. std::optional orders an absent value before any present one.

bool evidence_less(const Evidence& a, const Evidence& b) {
  if (a.index() != b.index()) {
    return a.index() < b.index();  // File before Signoff
  }
  if (const auto* file_a = std::get_if<FileEvidence>(&a)) {
    const auto& file_b = std::get<FileEvidence>(b);
    if (const auto order = file_a->path <=> file_b.path; order != 0) {
      return order < 0;
    }
    return file_a->line < file_b.line;
  }
  return std::get<SignoffEvidence>(a).url < std::get<SignoffEvidence>(b).url;
}

bool is_complete(const RequirementState& state) {
  for (const auto& name : state.required_stages) {
    const auto found = state.stages.find(name);
    if (found == state.stages.end() || !found->second.complete) {
      return false;
    }
  }
  return true;
}

bool finding_less(const Finding& a, const Finding& b) {
  if (const auto order = finding_code_word(a.code) <=> finding_code_word(b.code); order != 0) {
    return order < 0;
  }
  if (const auto order = a.requirement_id <=> b.requirement_id; order != 0) {
    return order < 0;
  }
  if (const auto order = a.path <=> b.path; order != 0) {
    return order < 0;
  }
  if (const auto order = a.line <=> b.line; order != 0) {
    return order < 0;
  }
  return a.stage < b.stage;
}

}  // namespace quorvane
