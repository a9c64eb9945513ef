#include "trace/builder.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "manifest/stages.hpp"
#include "platform/memory.hpp"
#include "support/invariant.hpp"
#include "trace/requirement_state.hpp"

namespace quorvane {
namespace {

// The known stage names once each, in byte order: the columns of the evidence table and, in
// this order, the keys of every requirement's stage map.
class StageColumns {
 public:
  explicit StageColumns(std::vector<std::string> names) : names_(std::move(names)) {
    std::sort(names_.begin(), names_.end());
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
  }

  std::optional<std::size_t> find(std::string_view name) const {
    const auto it = std::lower_bound(names_.begin(), names_.end(), name);
    if (it == names_.end() || *it != name) return std::nullopt;
    return static_cast<std::size_t>(it - names_.begin());
  }

  const std::vector<std::string>& names() const { return names_; }
  std::size_t size() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

// Every declared id and the position of its requirement, which is also its row of the evidence
// table. Ids are unique: the loader refuses a manifest that repeats one.
class DeclaredIds {
 public:
  explicit DeclaredIds(const std::vector<Requirement>& requirements) {
    rows_.reserve(requirements.size());
    for (std::size_t i = 0; i < requirements.size(); ++i) {
      if (!rows_.try_emplace(requirements[i].id, i).second) invariant_broken("unique id");
    }
  }

  std::optional<std::size_t> row(std::string_view id) const {
    const auto it = rows_.find(id);
    if (it == rows_.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::unordered_map<std::string_view, std::size_t> rows_;
};

// One evidence list per declared id and known stage.
class EvidenceTable {
 public:
  EvidenceTable(std::size_t rows, std::size_t columns)
      : columns_(columns), lists_(rows * columns) {}

  std::vector<Evidence>& at(std::size_t row, std::size_t column) {
    return lists_[row * columns_ + column];
  }

  // Free of duplicates and in evidence order. Equal entries are the only ones that the order
  // does not tell apart, so sorting and then dropping neighbours that are equal gives what
  // keeping the first of each and sorting stably would.
  void settle() {
    for (std::vector<Evidence>& list : lists_) {
      if (list.size() < 2) continue;
      std::sort(list.begin(), list.end(), evidence_less);
      list.erase(std::unique(list.begin(), list.end()), list.end());
    }
  }

 private:
  std::size_t columns_;
  std::vector<std::vector<Evidence>> lists_;
};

Finding undeclared_id_finding(const Tag& tag) {
  Finding finding;
  finding.code = FindingCode::UndeclaredId;
  finding.severity = Priority::Must;
  finding.requirement_id = tag.id;
  finding.path = tag.path;
  finding.line = tag.line;
  finding.message = "Tag references an ID not declared in the manifest";
  return finding;
}

Finding parse_error_finding(const ParseError& error) {
  Finding finding;
  finding.code = FindingCode::ParseError;
  finding.severity = Priority::Must;
  finding.path = error.path;
  finding.line = error.line;
  finding.message = "Tag-shaped token does not match [stage->REQ-ID]";
  return finding;
}

Finding scan_error_finding(const ScanError& error) {
  Finding finding;
  finding.code = FindingCode::ScanError;
  finding.severity = Priority::Must;
  finding.path = error.path;
  finding.message = error.message;
  return finding;
}

// Declared tags become file evidence; the positions of the undeclared ones are returned, each
// to become its own finding, so a file reached twice reports its undeclared tags twice.
std::vector<std::size_t> add_tags(const std::vector<Tag>& tags, const DeclaredIds& declared,
                                  const StageColumns& columns, EvidenceTable& evidence) {
  std::vector<std::size_t> undeclared;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const Tag& tag = tags[i];
    const std::optional<std::size_t> row = declared.row(tag.id);
    if (!row) {
      undeclared.push_back(i);
      continue;
    }
    // A stage outside the known list has no entry in any state; its evidence is not shown.
    if (const std::optional<std::size_t> column = columns.find(tag.stage)) {
      evidence.at(*row, *column).push_back(FileEvidence{tag.path, tag.line});
    }
  }
  return undeclared;
}

void add_signoffs(const std::vector<Signoff>& signoffs, const DeclaredIds& declared,
                  const StageColumns& columns, EvidenceTable& evidence) {
  for (const auto& signoff : signoffs) {
    const std::optional<std::size_t> row = declared.row(signoff.requirement);
    if (!row) {
      invariant_broken("signoff requirement declared");
    }
    if (const std::optional<std::size_t> column = columns.find(signoff.stage)) {
      evidence.at(*row, *column).push_back(SignoffEvidence{signoff.url});
    }
  }
}

// The codes in the order build_trace makes their findings, which must be finding order.
constexpr FindingCode kCodesInBuildOrder[] = {FindingCode::MissingStage, FindingCode::ParseError,
                                              FindingCode::ScanError, FindingCode::UndeclaredId};
static_assert(std::is_sorted(std::begin(kCodesInBuildOrder), std::end(kCodesInBuildOrder),
                             [](FindingCode a, FindingCode b) {
                               return finding_code_word(a) < finding_code_word(b);
                             }));

// Positions 0..count-1, stably sorted by `less` on them.
template <class Less>
std::vector<std::size_t> sorted_positions(std::size_t count, Less less) {
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), less);
  return order;
}

bool path_then_line_less(const std::string& path_a, std::uint64_t line_a, const std::string& path_b,
                         std::uint64_t line_b) {
  if (const int order = path_a.compare(path_b); order != 0) return order < 0;
  return line_a < line_b;
}

// The states in order of id, each requirement's "missing_stage" findings appended to
// `findings` in finding order: by id, then (path and line being absent) by stage.
std::vector<RequirementState> states_in_id_order(const std::vector<Requirement>& requirements,
                                                 const StageColumns& columns,
                                                 EvidenceTable& evidence,
                                                 std::vector<Finding>& findings) {
  const std::vector<std::size_t> order = sorted_positions(
      requirements.size(),
      [&](std::size_t a, std::size_t b) { return requirements[a].id < requirements[b].id; });
  std::vector<RequirementState> states;
  platform::reserve_with_huge_pages(states, requirements.size());
  for (const std::size_t row : order) {
    StageMap stages;
    stages.reserve(columns.size());
    for (std::size_t column = 0; column < columns.size(); ++column) {
      StageState state;
      state.evidence = std::move(evidence.at(row, column));
      state.complete = !state.evidence.empty();
      stages.emplace(columns.names()[column], std::move(state));
    }
    const std::size_t first_finding = findings.size();
    states.push_back(requirement_state_from(requirements[row], std::move(stages), findings));
    if (findings.size() - first_finding > 1) {
      std::stable_sort(findings.begin() + static_cast<std::ptrdiff_t>(first_finding),
                       findings.end(),
                       [](const Finding& a, const Finding& b) { return *a.stage < *b.stage; });
    }
  }
  return states;
}

std::size_t required_stage_count(const std::vector<Requirement>& requirements) {
  std::size_t count = 0;
  for (const Requirement& requirement : requirements) count += requirement.required_stages.size();
  return count;
}

}  // namespace

TraceResult build_trace(const Manifest& manifest, const ScanResult& scan) {
  std::vector<std::string> stages = ordered_stages(manifest);
  const StageColumns columns(stages);
  const DeclaredIds declared(manifest.requirements);
  EvidenceTable evidence(manifest.requirements.size(), columns.size());

  const std::vector<std::size_t> undeclared = add_tags(scan.tags, declared, columns, evidence);
  add_signoffs(manifest.signoffs, declared, columns, evidence);
  evidence.settle();

  // The findings are made in their final order: code by code (kCodesInBuildOrder), and within a
  // code by the fields that follow it in the finding order, ties kept in the order they were
  // found.
  std::vector<Finding> findings;
  platform::reserve_with_huge_pages(findings, required_stage_count(manifest.requirements) +
                                                  scan.parse_errors.size() +
                                                  scan.scan_errors.size() + undeclared.size());
  std::vector<RequirementState> states =
      states_in_id_order(manifest.requirements, columns, evidence, findings);

  const auto& parse_errors = scan.parse_errors;
  for (const std::size_t i :
       sorted_positions(parse_errors.size(), [&](std::size_t a, std::size_t b) {
         return path_then_line_less(parse_errors[a].path, parse_errors[a].line,
                                    parse_errors[b].path, parse_errors[b].line);
       })) {
    findings.push_back(parse_error_finding(parse_errors[i]));
  }
  const auto& scan_errors = scan.scan_errors;
  for (const std::size_t i :
       sorted_positions(scan_errors.size(), [&](std::size_t a, std::size_t b) {
         return scan_errors[a].path < scan_errors[b].path;
       })) {
    findings.push_back(scan_error_finding(scan_errors[i]));
  }
  const auto& tags = scan.tags;
  for (const std::size_t k : sorted_positions(undeclared.size(), [&](std::size_t a, std::size_t b) {
         const Tag& tag_a = tags[undeclared[a]];
         const Tag& tag_b = tags[undeclared[b]];
         if (const int order = tag_a.id.compare(tag_b.id); order != 0) return order < 0;
         return path_then_line_less(tag_a.path, tag_a.line, tag_b.path, tag_b.line);
       })) {
    findings.push_back(undeclared_id_finding(tags[undeclared[k]]));
  }

  TraceResult result;
  result.requirements = std::move(states);
  result.findings = std::move(findings);
  result.stages = std::move(stages);
  return result;
}

}  // namespace quorvane
