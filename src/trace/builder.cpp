#include "trace/builder.hpp"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "manifest/stages.hpp"
#include "support/invariant.hpp"

namespace quorvane {
namespace {

using DeclaredIds = std::unordered_set<std::string>;

DeclaredIds declared_ids(const std::vector<Requirement>& requirements) {
  DeclaredIds ids;
  ids.reserve(requirements.size());
  for (const auto& requirement : requirements) {
    ids.insert(requirement.id);
  }
  return ids;
}

EvidenceMap empty_evidence_map(const std::vector<Requirement>& requirements) {
  EvidenceMap evidence;
  evidence.reserve(requirements.size());
  for (const auto& requirement : requirements) {
    evidence.try_emplace(requirement.id);
  }
  return evidence;
}

// The lists are per requirement and stage, so a linear scan for duplicates stays short.
void append_unique(std::vector<Evidence>& list, Evidence entry) {
  if (std::find(list.begin(), list.end(), entry) == list.end()) {
    list.push_back(std::move(entry));
  }
}

Finding undeclared_id_finding(const Tag& tag) {
  Finding finding;
  finding.code = "undeclared_id";
  finding.severity = Priority::Must;
  finding.requirement_id = tag.id;
  finding.path = tag.path;
  finding.line = tag.line;
  finding.message = "Tag references an ID not declared in the manifest";
  return finding;
}

Finding parse_error_finding(const ParseError& error) {
  Finding finding;
  finding.code = "parse_error";
  finding.severity = Priority::Must;
  finding.path = error.path;
  finding.line = error.line;
  finding.message = "Tag-shaped token does not match [stage->REQ-ID]";
  return finding;
}

Finding scan_error_finding(const ScanError& error) {
  Finding finding;
  finding.code = "scan_error";
  finding.severity = Priority::Must;
  finding.path = error.path;
  finding.message = error.message;
  return finding;
}

// Declared tags become file evidence, each (path, line) once per stage; every undeclared tag
// becomes its own finding, so a file reached twice reports its undeclared tags twice.
void add_tags(const std::vector<Tag>& tags, const DeclaredIds& declared, EvidenceMap& evidence,
              std::vector<Finding>& findings) {
  for (const auto& tag : tags) {
    if (!declared.contains(tag.id)) {
      findings.push_back(undeclared_id_finding(tag));
      continue;
    }
    const auto entry = evidence.find(tag.id);
    if (entry == evidence.end()) {
      invariant_broken("declared id");
    }
    append_unique(entry->second[tag.stage], FileEvidence{tag.path, tag.line});
  }
}

void add_signoffs(const std::vector<Signoff>& signoffs, EvidenceMap& evidence) {
  for (const auto& signoff : signoffs) {
    const auto entry = evidence.find(signoff.requirement);
    if (entry == evidence.end()) {
      invariant_broken("signoff requirement declared");
    }
    append_unique(entry->second[signoff.stage], SignoffEvidence{signoff.url});
  }
}

void sort_requirement_states(std::vector<RequirementState>& states) {
  std::stable_sort(
      states.begin(), states.end(),
      [](const RequirementState& a, const RequirementState& b) { return a.id < b.id; });
  for (auto& state : states) {
    for (auto& [name, stage] : state.stages) {
      std::stable_sort(stage.evidence.begin(), stage.evidence.end(), evidence_less);
    }
  }
}

}  // namespace

TraceResult build_trace(const Manifest& manifest, const ScanResult& scan) {
  const DeclaredIds declared = declared_ids(manifest.requirements);
  std::vector<std::string> stages = ordered_stages(manifest);
  EvidenceMap evidence = empty_evidence_map(manifest.requirements);
  std::vector<Finding> findings;

  add_tags(scan.tags, declared, evidence, findings);
  add_signoffs(manifest.signoffs, evidence);
  for (const auto& error : scan.parse_errors) {
    findings.push_back(parse_error_finding(error));
  }
  for (const auto& error : scan.scan_errors) {
    findings.push_back(scan_error_finding(error));
  }

  std::vector<RequirementState> states =
      build_requirement_states(manifest.requirements, evidence, stages, findings);

  // Completeness and the findings were settled above; sorting only fixes the order shown.
  sort_requirement_states(states);
  std::stable_sort(findings.begin(), findings.end(), finding_less);

  TraceResult result;
  result.requirements = std::move(states);
  result.findings = std::move(findings);
  result.stages = std::move(stages);
  return result;
}

std::vector<RequirementState> build_requirement_states(
    const std::vector<Requirement>& requirements, const EvidenceMap& evidence,
    const std::vector<std::string>& ordered_stage_list, std::vector<Finding>& findings) {
  std::vector<RequirementState> states;
  states.reserve(requirements.size());
  for (const auto& requirement : requirements) {
    const auto entry = evidence.find(requirement.id);
    if (entry == evidence.end()) {
      invariant_broken("no entry found for key");
    }
    states.push_back(
        build_requirement_state(requirement, entry->second, ordered_stage_list, findings));
  }
  return states;
}

}  // namespace quorvane
