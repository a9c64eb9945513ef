#pragma once

#include <filesystem>

#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The run's trace, or the manifest loader's message in its place.
using RunContext = Result<TraceResult>;

RunContext build_run_context(const std::filesystem::path& project_root);

}  // namespace quorvane
