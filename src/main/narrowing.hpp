#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "git/changed_lines.hpp"
#include "git/changed_requirements.hpp"
#include "manifest/model.hpp"
#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The --changed-since step of lint: keeps the requirements that are new or retitled since
// `revision`, in their order.
Status narrow_to_changed_requirements(Manifest& manifest, const std::filesystem::path& root,
                                      const std::string& revision);

// The --changed-since step of review: keeps the file evidence on lines added since `revision`.
// The stages' complete flags stay as the trace built them.
Status narrow_to_changed_evidence(TraceResult& trace, const std::filesystem::path& root,
                                  const std::string& revision);

void retain_changed_requirements(std::vector<Requirement>& requirements,
                                 const ChangedRequirements& changed);

void retain_changed_evidence(std::vector<Evidence>& evidence, const ChangedLines& changed);

}  // namespace quorvane
