#include "lint/title_lint.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <tuple>

#include "lint/quality_prompt.hpp"
#include "lint/title_checks.hpp"
#include "support/text.hpp"

namespace quorvane {

namespace {

using TitleCheck = std::optional<std::string> (*)(std::string_view);

struct NamedCheck {
  std::string_view name;
  TitleCheck check;
};

constexpr NamedCheck kPerTitleChecks[] = {
    {kLengthCheck, check_length},
    {kContainsAndCheck, check_contains_and},
    {kPlaceholderCheck, check_placeholder},
    {kTrailingEtcCheck, check_trailing_etc},
};

// A requirement without a title, or with a blank one, has nothing to lint.
std::optional<std::string_view> usable_title(const Requirement& requirement) {
  if (!requirement.title || is_blank(*requirement.title)) return std::nullopt;
  return std::string_view(*requirement.title);
}

// Requirements (by manifest index) grouped by their title trimmed at both ends, compared exactly.
std::map<std::string_view, std::vector<std::size_t>> group_by_trimmed_title(
    const Manifest& manifest) {
  std::map<std::string_view, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < manifest.requirements.size(); ++i) {
    if (auto title = usable_title(manifest.requirements[i])) {
      groups[trim_unicode_whitespace(*title)].push_back(i);
    }
  }
  return groups;
}

void append_duplicate_findings(const Manifest& manifest, std::vector<Finding>& findings) {
  for (const auto& [title, members] : group_by_trimmed_title(manifest)) {
    if (members.size() < 2) continue;
    for (std::size_t member : members) {
      std::vector<std::string_view> others;
      for (std::size_t other : members) {
        if (other != member) others.push_back(manifest.requirements[other].id);
      }
      findings.push_back(
          quality_finding(manifest.requirements[member], kDuplicateCheck,
                          fmt::format("title is identical to {} other requirement(s): {}",
                                      others.size(), fmt::join(others, ", "))));
    }
  }
}

bool lint_finding_less(const Finding& a, const Finding& b) {
  // std::optional orders an absent value first; std::string compares by unsigned bytes.
  return std::tie(a.requirement_id, a.criterion) < std::tie(b.requirement_id, b.criterion);
}

}  // namespace

Finding quality_finding(const Requirement& requirement, std::string_view criterion,
                        std::string message) {
  Finding finding;
  finding.code = FindingCode::RequirementQuality;
  finding.severity = requirement.priority;
  finding.requirement_id = requirement.id;
  finding.criterion = std::string(criterion);
  finding.message = std::move(message);
  return finding;
}

std::vector<Finding> lint_titles(const Manifest& manifest) {
  std::vector<Finding> findings;
  for (const Requirement& requirement : manifest.requirements) {
    const std::optional<std::string_view> title = usable_title(requirement);
    if (!title) continue;
    for (const NamedCheck& named : kPerTitleChecks) {
      if (std::optional<std::string> message = named.check(*title)) {
        findings.push_back(quality_finding(requirement, named.name, std::move(*message)));
      }
    }
  }
  append_duplicate_findings(manifest, findings);
  std::stable_sort(findings.begin(), findings.end(), lint_finding_less);
  return findings;
}

AgentReview lint_entry(const Manifest& manifest) {
  AgentReview review;
  review.findings = lint_titles(manifest);
  review.agent_prompt = quality_review_prompt(manifest);
  review.item_count = manifest.requirements.size();
  return review;
}

}  // namespace quorvane
