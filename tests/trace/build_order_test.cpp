#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "manifest/priority.hpp"
#include "manifest/stages.hpp"
#include "trace/builder.hpp"

namespace quorvane {
namespace {

// The reference model of the trace: the plain rules, with none of the builder's shortcuts.

// Requirement id -> stage name -> evidence in arrival order.
using StageEvidence = std::unordered_map<std::string, std::vector<Evidence>>;
using EvidenceMap = std::unordered_map<std::string, StageEvidence>;

Finding reference_finding(FindingCode code, std::optional<std::string> id,
                          std::optional<std::string> path, std::optional<std::uint64_t> line,
                          std::string message) {
  Finding finding;
  finding.code = code;
  finding.requirement_id = std::move(id);
  finding.path = std::move(path);
  finding.line = line;
  finding.message = std::move(message);
  return finding;
}

std::string reference_missing_message(const std::string& stage) {
  if (stage == "doc") return "Requirement is missing documentation evidence";
  if (stage == "impl") return "Requirement is missing implementation evidence";
  if (stage == "unit") return "Requirement is missing unit test evidence";
  if (stage == "int") return "Requirement is missing integration test evidence";
  return "Requirement is missing " + stage + " evidence";
}

// A stage map built from the stage list alone, then a "missing_stage" finding per required
// stage (repeats included) whose entry is not complete.
RequirementState reference_requirement_state(const Requirement& requirement,
                                             const StageEvidence& evidence,
                                             const std::vector<std::string>& ordered_stage_list,
                                             std::vector<Finding>& findings) {
  RequirementState state;
  state.id = requirement.id;
  state.title = requirement.title;
  state.type = requirement.type;
  state.required_stages = requirement.required_stages;
  for (const std::string& name : ordered_stage_list) {
    StageState stage;
    if (const auto found = evidence.find(name); found != evidence.end()) {
      stage.evidence = found->second;
    }
    stage.complete = !stage.evidence.empty();
    state.stages.emplace(name, std::move(stage));
  }
  for (const std::string& name : requirement.required_stages) {
    if (state.stages.find(name)->second.complete) continue;
    Finding finding = reference_finding(FindingCode::MissingStage, requirement.id, std::nullopt,
                                        std::nullopt, reference_missing_message(name));
    finding.severity = requirement.priority;
    finding.stage = name;
    findings.push_back(std::move(finding));
  }
  return state;
}

void append_unique(std::vector<Evidence>& list, Evidence entry) {
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(std::move(entry));
}

// The trace as the plain rules make it: evidence gathered per id and stage in arrival order
// without repeats, states built in file order, and then everything sorted stably.
TraceResult reference_trace(const Manifest& manifest, const ScanResult& scan) {
  EvidenceMap evidence;
  for (const Requirement& r : manifest.requirements) evidence.try_emplace(r.id);
  std::vector<Finding> findings;
  for (const Tag& tag : scan.tags) {
    const auto entry = evidence.find(tag.id);
    if (entry == evidence.end()) {
      findings.push_back(reference_finding(FindingCode::UndeclaredId, tag.id, tag.path, tag.line,
                                           "Tag references an ID not declared in the manifest"));
      continue;
    }
    append_unique(entry->second[tag.stage], FileEvidence{tag.path, tag.line});
  }
  for (const Signoff& s : manifest.signoffs) {
    append_unique(evidence.at(s.requirement)[s.stage], SignoffEvidence{s.url});
  }
  for (const ParseError& e : scan.parse_errors) {
    findings.push_back(reference_finding(FindingCode::ParseError, std::nullopt, e.path, e.line,
                                         "Tag-shaped token does not match [stage->REQ-ID]"));
  }
  for (const ScanError& e : scan.scan_errors) {
    findings.push_back(
        reference_finding(FindingCode::ScanError, std::nullopt, e.path, std::nullopt, e.message));
  }
  TraceResult trace;
  trace.stages = ordered_stages(manifest);
  for (const Requirement& requirement : manifest.requirements) {
    trace.requirements.push_back(reference_requirement_state(
        requirement, evidence.at(requirement.id), trace.stages, findings));
  }
  std::stable_sort(trace.requirements.begin(), trace.requirements.end(),
                   [](const auto& a, const auto& b) { return a.id < b.id; });
  for (RequirementState& state : trace.requirements) {
    for (auto& [name, stage] : state.stages) {
      std::stable_sort(stage.evidence.begin(), stage.evidence.end(), evidence_less);
    }
  }
  trace.findings = std::move(findings);
  std::stable_sort(trace.findings.begin(), trace.findings.end(), finding_less);
  return trace;
}

std::string describe(const Evidence& e) {
  if (const auto* file = std::get_if<FileEvidence>(&e)) {
    return file->path + ":" + std::to_string(file->line);
  }
  return "url " + std::get<SignoffEvidence>(e).url;
}

std::vector<std::string> describe(const TraceResult& trace) {
  std::vector<std::string> out;
  for (const std::string& stage : trace.stages) out.push_back("known " + stage);
  for (const RequirementState& state : trace.requirements) {
    std::string line = "state " + state.id + " title=" + state.title.value_or("-") +
                       " type=" + state.type.value_or("-") + " required=";
    for (const std::string& stage : state.required_stages) line += stage + ",";
    out.push_back(line);
    for (const auto& [name, stage] : state.stages) {
      std::string entry = "  " + name + (stage.complete ? " +" : " -");
      for (const Evidence& e : stage.evidence) entry.append(" ").append(describe(e));
      out.push_back(entry);
    }
  }
  for (const Finding& f : trace.findings) {
    out.push_back(std::string(finding_code_word(f.code)) + " " +
                  std::string(priority_word(f.severity)) + " id=" + f.requirement_id.value_or("-") +
                  " stage=" + f.stage.value_or("-") + " path=" + f.path.value_or("-") +
                  " line=" + (f.line ? std::to_string(*f.line) : "-") + " | " + f.message);
  }
  return out;
}

TEST(BuildTraceOrder, MatchesGatheringInArrivalOrderAndSortingStably) {
  // Few ids, paths and lines, so that repeats, ties and shared prefixes abound; some tags name
  // undeclared ids and some stages are unknown.
  const std::vector<std::string> ids = {"REQ-A", "REQ-B", "REQ-AB", "", "REQ-b", "REQ-C-1"};
  const std::vector<std::string> stage_names = {"doc", "impl", "unit", "int", "beta", "zeta"};
  const std::vector<std::string> paths = {"a.rs", "a.rs.md", "b/a.rs", "B.py", "a"};
  const std::vector<std::string> urls = {"https://x", "https://x/", "http://y"};
  std::mt19937 random(97);
  const auto pick = [&](const auto& list) { return list[random() % list.size()]; };
  for (int round = 0; round < 300; ++round) {
    Manifest manifest;
    manifest.stages = {StageDef{"beta", std::nullopt}};
    // Ids are unique within a manifest: each round declares some of them, in a shuffled order.
    std::vector<std::string> declared = ids;
    std::shuffle(declared.begin(), declared.end(), random);
    declared.resize(random() % (ids.size() + 1));
    for (std::size_t i = 0; i < declared.size(); ++i) {
      Requirement r;
      r.id = declared[i];
      if (random() % 2) r.title = "T" + std::to_string(i);
      if (random() % 3 == 0) r.type = "FUNC";
      r.priority = static_cast<Priority>(random() % 3);
      const std::size_t required = random() % 5;
      for (std::size_t k = 0; k < required; ++k) {
        r.required_stages.push_back(pick(std::vector<std::string>{"doc", "impl", "unit", "beta"}));
      }
      manifest.requirements.push_back(std::move(r));
    }
    for (std::size_t i = 0; i < manifest.requirements.size() && random() % 2; ++i) {
      manifest.signoffs.push_back(
          Signoff{manifest.requirements[random() % manifest.requirements.size()].id,
                  pick(stage_names), pick(urls)});
    }
    ScanResult scan;
    const std::size_t tag_count = random() % 25;
    for (std::size_t i = 0; i < tag_count; ++i) {
      scan.tags.push_back(Tag{pick(stage_names), pick(ids), pick(paths), random() % 4 + 1});
    }
    for (std::size_t i = random() % 5; i > 0; --i) {
      scan.parse_errors.push_back(ParseError{pick(paths), random() % 3 + 1});
    }
    for (std::size_t i = random() % 4; i > 0; --i) {
      scan.scan_errors.push_back(ScanError{pick(paths), "m" + std::to_string(i)});
    }
    ASSERT_EQ(describe(build_trace(manifest, scan)), describe(reference_trace(manifest, scan)))
        << "round " << round;
  }
}

}  // namespace
}  // namespace quorvane
