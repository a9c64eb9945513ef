#pragma once

#include <filesystem>
#include <vector>

#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The run's trace, with the scan roots it was built from: record paths below a root through a
// link or ".." name files by another path than git does, which the review's narrowing must know.
struct TracedProject {
  TraceResult trace;
  std::vector<std::filesystem::path> scan_roots;  // as written in the manifest
};

// The traced project, or the manifest loader's message in its place.
using RunContext = Result<TracedProject>;

RunContext build_run_context(const std::filesystem::path& project_root);

}  // namespace quorvane
