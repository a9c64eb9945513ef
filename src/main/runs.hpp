#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "cli/cli.hpp"
#include "main/run_outcome.hpp"
#include "manifest/priority.hpp"
#include "trace/records.hpp"

namespace quorvane {

// The runs over the trace of the run context; the caller reports a manifest that could not be
// loaded in its place. check gets its --fail-on value already parsed.
RunOutcome run_list(const ListCommand& options, const TraceResult& trace);
RunOutcome run_check(const CheckCommand& options, Priority threshold, const TraceResult& trace);
RunOutcome run_trace(const TraceCommand& options, const TraceResult& trace);
// review also gets the scan roots of the trace (as written), for --changed-since.
RunOutcome run_review(const ReviewCommand& options, const std::filesystem::path& project_root,
                      const TraceResult& trace,
                      const std::vector<std::filesystem::path>& scan_roots);
// lint has no run context: it loads the manifest itself.
RunOutcome run_lint(const LintCommand& options, const std::filesystem::path& project_root);

// The whole program after the process start-up, given the process's arguments (the program path
// first): returns the exit status.
int run_main(std::span<const std::string> arguments);

}  // namespace quorvane
