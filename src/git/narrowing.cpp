#include "git/narrowing.hpp"

#include <algorithm>

namespace quorvane {

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed) {
  std::erase_if(requirements,
                [&](const Requirement& requirement) { return !changed.contains(requirement.id); });
}

void retain_changed_evidence(std::vector<Evidence>& evidence, const ChangedLines& changed) {
  // Sign-offs live outside the sources, so no added line can hold one.
  std::erase_if(evidence, [&](const Evidence& entry) {
    const auto* file = std::get_if<FileEvidence>(&entry);
    if (file == nullptr) return true;
    const auto lines = changed.find(file->path);
    return lines == changed.end() || !lines->second.contains(file->line);
  });
}

}  // namespace quorvane
