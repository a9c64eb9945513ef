#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "cli/cli.hpp"
#include "main/run_context.hpp"
#include "main/run_outcome.hpp"

namespace quorvane {

RunOutcome run_list(const ListCommand& options, const RunContext& context);
RunOutcome run_check(const CheckCommand& options, const RunContext& context);
RunOutcome run_trace(const TraceCommand& options, const RunContext& context);
RunOutcome run_lint(const LintCommand& options, const std::filesystem::path& project_root);
RunOutcome run_review(const ReviewCommand& options, const std::filesystem::path& project_root,
                      RunContext& context);

// The whole program after the process start-up, given the process's arguments (the program path
// first): returns the exit status.
int run_main(std::span<const std::string> arguments);

}  // namespace quorvane
