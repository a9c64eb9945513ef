#pragma once

#include <filesystem>
#include <variant>

#include "support/result.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The run's trace, or the manifest loader's message in its place.
using RunContext = std::variant<TraceResult, Failure>;

RunContext build_run_context(const std::filesystem::path& project_root);

}  // namespace quorvane
